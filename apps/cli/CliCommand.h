// Registry of the sub-commands of folioforge-cli. Each command lives in its own Cmd*.cpp and
// registers itself with a static CliCommandRegistration, so main() stays a plain dispatcher.
#pragma once

#include "support/MessageSink.h"

#include <functional>
#include <string>
#include <vector>

namespace ff::cli {

using CliArgs = std::vector<std::string>;

struct CliCommand
{
    std::string Name;
    std::string Summary;                    // one line for the overview of --help
    std::function<int(const CliArgs&)> Run; // arguments after the command name
};

std::vector<CliCommand>& CliCommands();

struct CliCommandRegistration
{
    CliCommandRegistration(std::string sName, std::string sSummary,
                           std::function<int(const CliArgs&)> fnRun)
    {
        CliCommands().push_back({std::move(sName), std::move(sSummary), std::move(fnRun)});
    }
};

// Swallows the core's modal messages for commands that already report the same failure on
// their one error line (the newer-version notice, for example).
class TQuietMessageSink : public TMessageSink
{
public:
    void ShowMessage(const std::string&) override {}
};

// Sets up a QGuiApplication on the offscreen platform when no display is named, for the
// commands that draw or measure text. Safe to call more than once.
void EnsureGuiApplication();

} // namespace ff::cli
