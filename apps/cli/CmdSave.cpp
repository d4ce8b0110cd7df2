// folioforge-cli save: loads a sheet definition and saves it again exactly as the designer's
// Save does, gathering the external script files and rebuilding the data stores from their
// CSV files (found relative to the input's folder).
#include "CliCommand.h"

#include "model/ClassCharSheet.h"
#include "support/MessageSink.h"

#include <cstdio>

namespace {

const char* kUsage =
    "Usage: folioforge-cli save IN.csd OUT.csd\n"
    "\n"
    "Loads IN in design mode and saves it as OUT, as the designer's Save does: the external\n"
    "script files and the CSV files of the data stores are read again (relative paths from\n"
    "IN's folder) and stored in OUT. OUT is replaced only when the whole file was written.\n"
    "\n"
    "  --help  show this help\n"
    "\n"
    "On any failure a one-line message goes to standard error and the exit status is 1.\n";

int RunSave(const ff::cli::CliArgs& args)
{
    std::vector<std::string> files;
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "folioforge-cli save: unknown option '%s' (see --help)\n",
                         a.c_str());
            return 2;
        }
        files.push_back(a);
    }
    if (files.size() != 2) {
        std::fprintf(stderr, "folioforge-cli save: %s (see --help)\n",
                     files.empty()       ? "no input and output file given"
                     : files.size() == 1 ? "no output file given"
                                         : "only one input and one output file, please");
        return 2;
    }

    ff::cli::TQuietMessageSink sink;
    ff::SetMessageSink(&sink);
    ff::TCharacterSheet sheet;
    sheet.DesignMode = true;
    std::string sError;
    bool bOk = sheet.LoadFromFile(files[0], &sError) && sheet.SaveToFile(files[1], &sError);
    ff::SetMessageSink(nullptr);
    if (!bOk) {
        std::fprintf(stderr, "folioforge-cli save: %s\n", sError.c_str());
        return 1;
    }
    return 0;
}

ff::cli::CliCommandRegistration reg("save", "load a sheet definition and save it again", RunSave);

} // namespace
