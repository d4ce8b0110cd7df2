#include "support/MessageSink.h"

#include <cstdio>

namespace ff {

namespace {
TMessageSink* gSink = nullptr;
}

void SetMessageSink(TMessageSink* pSink)
{
    gSink = pSink;
}
TMessageSink* GetMessageSink()
{
    return gSink;
}

void ShowMessage(const std::string& sText)
{
    if (gSink)
        gSink->ShowMessage(sText);
    else
        std::fprintf(stderr, "%s\n", sText.c_str());
}

} // namespace ff
