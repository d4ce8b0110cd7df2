// Sheet definitions from untrusted bytes: loading never crashes, hangs or allocates without
// bound, and whatever loads saves and reloads to the same bytes.
#include "model/ClassCharSheet.h"
#include "persistence/ByteStream.h"
#include "support/MessageSink.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

class TSilentSink : public ff::TMessageSink
{
public:
    void ShowMessage(const std::string&) override {}
};

std::string Save(ff::TCharacterSheet& sheet)
{
    ff::TMemoryStream ms;
    if (!sheet.SaveToStream(ms)) std::abort();
    return ms.Bytes();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    static TSilentSink sink;
    ff::SetMessageSink(&sink);
    ff::TCharacterSheet sheet;
    sheet.DesignMode = true;
    ff::TMemoryStream in(std::string(reinterpret_cast<const char*>(data), size));
    if (!sheet.LoadFromStream(in)) {
        if (!sheet.Pages.empty()) std::abort(); // a failed load leaves nothing half-read
        return 0;
    }
    // Saving outside design mode writes what was loaded without consulting other files.
    sheet.DesignMode = false;
    std::string first = Save(sheet);
    ff::TCharacterSheet again;
    again.DesignMode = true;
    ff::TMemoryStream ms(first);
    if (!again.LoadFromStream(ms)) std::abort();
    again.DesignMode = false;
    if (Save(again) != first) std::abort();
    return 0;
}
