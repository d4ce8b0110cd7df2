// folioforge-cli render: draws pages of a sheet definition to image files through the same
// page drawing the designer, the printer and the HTML export use.
#include "CliCommand.h"

#include "model/ClassCharSheet.h"
#include "rendering/Bitmap.h"
#include "rendering/Bitmaps.h"
#include "rendering/QtGraphicsDevice.h"
#include "rendering/QtImageCodec.h"
#include "support/MessageSink.h"
#include "support/Numbers.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "Usage: folioforge-cli render FILE.csd [--page N | --all] [--dpi D] [--design]\n"
    "                             [--show-fields] [--print-mode] -o OUT.png\n"
    "\n"
    "Draws pages of a sheet definition to PNG files. By default the first page is drawn as a\n"
    "viewer shows it: no grid, hidden objects left out, no field highlighting.\n"
    "\n"
    "  --page N       the page to draw, counted from 1 (default 1)\n"
    "  --all          every page; OUT gets the page number before its extension\n"
    "                 (out.png -> out-1.png, out-2.png, ...)\n"
    "  --dpi D        pixels per inch (default 96, at most 1200)\n"
    "  --design       draw as the designer does: grid and margin frame (when the sheet shows\n"
    "                 its grid), hidden objects, every data field highlighted\n"
    "  --show-fields  highlight the editable fields, as printing with \"Highlight Fields\"\n"
    "  --print-mode   draw as on a printer of D pixels per inch\n"
    "  -o OUT         the image file to write (the format follows the extension; PNG for\n"
    "                 .png)\n"
    "  --help         show this help\n"
    "\n"
    "On any failure a one-line message goes to standard error and the exit status is 1; bad\n"
    "options give status 2.\n";

int Usage(const char* sWhy)
{
    std::fprintf(stderr, "folioforge-cli render: %s (see --help)\n", sWhy);
    return 2;
}

// out.png + page 3 -> out-3.png; a name without extension gets the number at its end.
std::string NumberedName(const std::string& sOut, int nPage)
{
    const std::string::size_type slash = sOut.find_last_of("/\\");
    std::string::size_type dot = sOut.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        dot = sOut.size();
    return sOut.substr(0, dot) + "-" + std::to_string(nPage) + sOut.substr(dot);
}

class TStderrSink : public ff::TMessageSink
{
public:
    void ShowMessage(const std::string& s) override
    {
        std::fprintf(stderr, "folioforge-cli render: %s\n", s.c_str());
    }
};

int RunRender(const ff::cli::CliArgs& args)
{
    std::string sFile, sOut;
    int nPage = 1;
    bool bAll = false, bPageGiven = false, bDesign = false, bShowFields = false, bPrint = false;
    int nDpi = 96;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](const char* sName) -> const std::string* {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "folioforge-cli render: %s needs a value (see --help)\n",
                             sName);
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--page") {
            const std::string* v = value("--page");
            std::int32_t n = 0;
            if (!v) return 2;
            if (!ff::TryTextToInteger(*v, n) || n < 1) return Usage("--page wants a number from 1");
            nPage = n;
            bPageGiven = true;
        } else if (a == "--all") {
            bAll = true;
        } else if (a == "--dpi") {
            const std::string* v = value("--dpi");
            std::int32_t n = 0;
            if (!v) return 2;
            if (!ff::TryTextToInteger(*v, n) || n < 1 || n > 1200)
                return Usage("--dpi wants a number from 1 to 1200");
            nDpi = n;
        } else if (a == "--design") {
            bDesign = true;
        } else if (a == "--show-fields") {
            bShowFields = true;
        } else if (a == "--print-mode") {
            bPrint = true;
        } else if (a == "-o" || a == "--output") {
            const std::string* v = value("-o");
            if (!v) return 2;
            sOut = *v;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "folioforge-cli render: unknown option '%s' (see --help)\n",
                         a.c_str());
            return 2;
        } else if (sFile.empty()) {
            sFile = a;
        } else {
            return Usage("only one sheet file can be drawn");
        }
    }
    if (sFile.empty()) return Usage("no sheet file given");
    if (sOut.empty()) return Usage("no output file given (-o OUT.png)");
    if (bAll && bPageGiven) return Usage("--page and --all exclude each other");

    ff::cli::EnsureGuiApplication();
    ff::InstallQtImageCodec();
    ff::InstallQtGraphicsDevice();

    TStderrSink sink;
    ff::SetMessageSink(&sink);
    ff::TCharacterSheet sheet;
    // Loaded as the designer loads, so no sheet script runs.
    sheet.DesignMode = true;
    std::string sError;
    const bool bLoaded = sheet.LoadFromFile(sFile, &sError);
    ff::SetMessageSink(nullptr);
    if (!bLoaded) {
        std::fprintf(stderr, "folioforge-cli render: %s\n",
                     sError.empty() ? ("cannot load " + sFile).c_str() : sError.c_str());
        return 1;
    }

    const int nPages = static_cast<int>(sheet.Pages.size());
    if (nPages == 0) {
        std::fprintf(stderr, "folioforge-cli render: the sheet has no pages\n");
        return 1;
    }
    if (!bAll && nPage > nPages) {
        std::fprintf(stderr, "folioforge-cli render: page %d does not exist (the sheet has %d)\n",
                     nPage, nPages);
        return 1;
    }
    sheet.DesignMode = bDesign;
    if (!bDesign) sheet.GridVisible = false;
    sheet.ShowFields = bShowFields;
    sheet.PrintMode = bPrint;
    ff::CS_DPI = nDpi;

    std::vector<int> pages;
    if (bAll)
        for (int i = 0; i < nPages; ++i)
            pages.push_back(i);
    else
        pages.push_back(nPage - 1);
    for (int n : pages) {
        const std::unique_ptr<ff::TBitmap> bmp = sheet.GetPageBitmap(n);
        if (!bmp) {
            std::fprintf(stderr, "folioforge-cli render: page %d cannot be drawn at %d DPI\n",
                         n + 1, nDpi);
            return 1;
        }
        const std::string sName = bAll ? NumberedName(sOut, n + 1) : sOut;
        if (!ff::SaveBitmap(*bmp, sName)) {
            std::fprintf(stderr, "folioforge-cli render: cannot write %s\n", sName.c_str());
            return 1;
        }
    }
    return 0;
}

ff::cli::CliCommandRegistration reg("render", "draw pages of a sheet definition to PNG files",
                                    RunRender);

} // namespace
