// Compiles and evaluates arbitrary text as a field source, with a variable lookup and a
// lookup-like function registered, as a sheet object's engine has them.
#include "expression/KELDExpression.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// Names resolve like field texts: integer texts to numbers, others to texts. Names starting
// with "u" stay undefined, names starting with "v" stay variables (so assignments succeed),
// "nan" and "inf" give non-finite numbers a careless callback might produce.
bool GetVar(void*, const std::string& sName, ff::TToken& tVal)
{
    if (sName.empty() || sName[0] == 'x') return false;
    if (sName[0] == 'u') return true;
    if (sName[0] == 'v') {
        tVal.SetDblVal(static_cast<double>(sName.size()));
        return true;
    }
    if (sName == "nan" || sName == "inf") {
        tVal.TypeID = ff::tkNumber;
        tVal.SetDblVal(sName == "nan" ? std::nan("") : HUGE_VAL);
        return true;
    }
    std::int32_t n;
    if (ff::TryTextToInteger(sName, n)) {
        tVal.TypeID = ff::tkNumber;
        tVal.SetDblVal(n);
    } else {
        tVal.TypeID = ff::tkText;
        tVal.SetTextVal(sName.size() > 3 ? sName.substr(1) : sName);
    }
    return true;
}

int gAssignments = 0;
bool SetVar(void*, const std::string& sName, ff::TToken& tVal)
{
    gAssignments += static_cast<int>(sName.size()) + static_cast<int>(tVal.DataType);
    return true;
}

// lookup(store, key, column): texts in, a text out, as the sheet's data-store lookup.
bool Lookup(ff::TToken& ans, const ff::TTokenStack& p, std::string&, void*)
{
    if (p.Count() != 3) std::abort(); // the engine must enforce the registered count
    std::string s = p[0]->AsText() + "." + p[1]->AsText() + "." + p[2]->AsText();
    ans.SetTextVal(s.size() > 64 ? s.substr(0, 64) : s);
    return true;
}

void Check(bool bCond)
{
    if (!bCond) std::abort();
}

std::string Outcome(ff::TKELDExpression& ex, double& d)
{
    d = 1;
    const bool bOK = ex.Calc(d);
    Check(bOK != ex.isError);
    Check(bOK || (!ex.ErrorMsg.empty() && d == 0));
    if (!bOK) return "error: " + ex.ErrorMsg;
    if (ex.Answer.DataType == ff::dtNumber) Check(std::isfinite(ex.Answer.FDblVal));
    return std::to_string(static_cast<int>(ex.Answer.DataType)) + ":" + ex.Answer.AsText();
}

void Setup(ff::TKELDExpression& ex, const std::string& sSource)
{
    ex.AddFunction("lookup", Lookup, 3, 3);
    ex.GetVariable = {GetVar, nullptr};
    ex.SetVariable = {SetVar, nullptr};
    ex.SetExpression(sSource);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 4096) return 0;
    const std::string sSource(reinterpret_cast<const char*>(data), size);
    ff::TKELDExpression ex, tokensOnly;
    Setup(ex, sSource);
    Setup(tokensOnly, sSource);
    tokensOnly.UseNumericFastPath = false;
    const bool bCompiled = ex.Compile();
    (void)ex.ReportLexemes();
    (void)ex.ReportRPN();
    Check(bCompiled == !ex.isError);
    Check(bCompiled == ex.Compiled());
    // The compiled sequence gives the same outcome again, and the numeric evaluator the same
    // outcome as the token evaluator.
    double d1, d2, d3;
    const std::string sFirst = Outcome(ex, d1);
    Check(Outcome(ex, d2) == sFirst);
    Check(Outcome(tokensOnly, d3) == sFirst);
    Check(d1 == d3 || (std::isnan(d1) && std::isnan(d3)));
    return 0;
}
