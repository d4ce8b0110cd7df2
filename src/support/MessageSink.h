// The core's modal messages (such as the file readers' newer-version notice) reach the user
// through a sink the application installs: a message box in the designer, standard error in
// the command-line tool, a recorder in tests. Without a sink they go to standard error.
#pragma once

#include <string>

namespace ff {

class TMessageSink
{
public:
    virtual ~TMessageSink() = default;
    virtual void ShowMessage(const std::string& sText) = 0;
};

// Not owned; nullptr restores the default.
void SetMessageSink(TMessageSink* pSink);
TMessageSink* GetMessageSink();

void ShowMessage(const std::string& sText);

} // namespace ff
