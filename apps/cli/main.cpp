// folioforge-cli: headless commands over the Folioforge core.
#include "CliCommand.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace ff::cli {

std::vector<CliCommand>& CliCommands()
{
    static std::vector<CliCommand> commands;
    return commands;
}

namespace {
int gArgc = 1;
char gArg0[] = "folioforge-cli";
char* gArgv[] = {gArg0, nullptr};
std::unique_ptr<QGuiApplication> gApp;
} // namespace

void EnsureGuiApplication()
{
    if (QGuiApplication::instance()) return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    gApp = std::make_unique<QGuiApplication>(gArgc, gArgv);
}

} // namespace ff::cli

namespace {

void PrintUsage(FILE* out)
{
    std::fprintf(out, "Usage: folioforge-cli COMMAND [OPTIONS] ...\n\nCommands:\n");
    auto commands = ff::cli::CliCommands();
    std::sort(commands.begin(), commands.end(),
              [](const auto& a, const auto& b) { return a.Name < b.Name; });
    for (const auto& c : commands)
        std::fprintf(out, "  %-14s %s\n", c.Name.c_str(), c.Summary.c_str());
    std::fprintf(out, "\nRun 'folioforge-cli COMMAND --help' for the options of a command.\n"
                      "  --version      print the version\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        PrintUsage(stderr);
        return 2;
    }
    std::string sCommand = argv[1];
    if (sCommand == "--help" || sCommand == "-h" || sCommand == "help") {
        PrintUsage(stdout);
        return 0;
    }
    if (sCommand == "--version") {
        std::printf("folioforge-cli %s\n", FF_VERSION);
        return 0;
    }
    for (const auto& c : ff::cli::CliCommands()) {
        if (c.Name == sCommand) {
            const int rc = c.Run(ff::cli::CliArgs(argv + 2, argv + argc));
            // The application must end before the exit handlers take down Qt's own globals.
            ff::cli::gApp.reset();
            return rc;
        }
    }
    std::fprintf(stderr, "folioforge-cli: unknown command '%s' (see --help)\n", sCommand.c_str());
    return 2;
}
