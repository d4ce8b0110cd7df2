// folioforge-cli expr: compiles and evaluates one native expression, as a field source would be.
#include "CliCommand.h"

#include "expression/KELDExpression.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

const char* kUsage =
    "Usage: folioforge-cli expr [--var NAME=VALUE]... [--lexemes] [--rpn] [--] EXPRESSION...\n"
    "\n"
    "Compiles and evaluates a native field-source expression and prints its answer as\n"
    "'KIND: TEXT' (KIND is number, bool, text or undefined). On a compile or evaluation\n"
    "failure the last line is 'error: MESSAGE' and the exit status is 1.\n"
    "\n"
    "  --var NAME=VALUE  define a variable; a value that reads as a 32-bit integer becomes a\n"
    "                    number, any other value a text (as a sheet's field lookup does).\n"
    "                    Names compare ignoring case; undefined names are unknown.\n"
    "  --lexemes         print the lexemes with their token kinds first\n"
    "  --rpn             print the compiled sequence in reverse Polish order first\n"
    "  --                end of options, so that the expression may begin with '-'\n"
    "  --help            show this help\n"
    "\n"
    "Several EXPRESSION words are joined with blanks. lookup(store, key, column) is known but\n"
    "yields the empty text, as there is no sheet.\n";

using TVariables = std::vector<std::pair<std::string, std::string>>;

bool LookupVariable(void* pObject, const std::string& sName, ff::TToken& tVal)
{
    const auto& vars = *static_cast<const TVariables*>(pObject);
    for (const auto& [sKey, sValue] : vars) {
        if (!ff::SameText(sKey, sName)) continue;
        std::int32_t n;
        if (ff::TryTextToInteger(sValue, n)) {
            tVal.TypeID = ff::tkNumber;
            tVal.SetDblVal(n);
        } else {
            tVal.TypeID = ff::tkText;
            tVal.SetTextVal(sValue);
        }
        return true;
    }
    return false;
}

bool NoSheetLookup(ff::TToken& ans, const ff::TTokenStack&, std::string&, void*)
{
    ans.SetTextVal("");
    return true;
}

const char* KindName(ff::TTokenDataType t)
{
    switch (t) {
    case ff::dtNumber:
        return "number";
    case ff::dtBool:
        return "bool";
    case ff::dtText:
        return "text";
    case ff::dtUndef:
        break;
    }
    return "undefined";
}

int RunExpr(const ff::cli::CliArgs& args)
{
    TVariables vars;
    bool bLexemes = false, bRpn = false, bOptions = true;
    std::vector<std::string> words;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (bOptions && a == "--") {
            bOptions = false;
        } else if (bOptions && (a == "--help" || a == "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (bOptions && a == "--lexemes") {
            bLexemes = true;
        } else if (bOptions && a == "--rpn") {
            bRpn = true;
        } else if (bOptions && (a == "--var" || a.rfind("--var=", 0) == 0)) {
            std::string sDef;
            if (a == "--var") {
                if (i + 1 >= args.size()) {
                    std::fprintf(stderr, "folioforge-cli expr: --var needs NAME=VALUE\n");
                    return 2;
                }
                sDef = args[++i];
            } else {
                sDef = a.substr(6);
            }
            const size_t nEq = sDef.find('=');
            if (nEq == std::string::npos || nEq == 0) {
                std::fprintf(stderr, "folioforge-cli expr: --var needs NAME=VALUE, got '%s'\n",
                             sDef.c_str());
                return 2;
            }
            vars.emplace_back(sDef.substr(0, nEq), sDef.substr(nEq + 1));
        } else if (bOptions && a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr,
                         "folioforge-cli expr: unknown option '%s' (use -- before an "
                         "expression that begins with '-')\n",
                         a.c_str());
            return 2;
        } else {
            words.push_back(a);
        }
    }
    if (words.empty()) {
        std::fprintf(stderr, "folioforge-cli expr: no expression given (see --help)\n");
        return 2;
    }
    std::string sExpression;
    for (const auto& w : words) {
        if (!sExpression.empty()) sExpression += ' ';
        sExpression += w;
    }

    ff::TKELDExpression ex;
    ex.AddFunction("lookup", NoSheetLookup, 3, 3);
    ex.GetVariable = {LookupVariable, &vars};
    ex.SetExpression(sExpression);
    const bool bCompiled = ex.Compile();
    if (bLexemes) std::fputs(ex.ReportLexemes().c_str(), stdout);
    if (bRpn) std::fputs(ex.ReportRPN().c_str(), stdout);
    if (!bCompiled || !ex.Execute()) {
        std::printf("error: %s\n", ex.ErrorMsg.c_str());
        return 1;
    }
    std::printf("%s: %s\n", KindName(ex.Answer.DataType), ex.Answer.AsText().c_str());
    return 0;
}

ff::cli::CliCommandRegistration reg("expr", "compile and evaluate a native expression", RunExpr);

} // namespace
