// Helpers shared by the expression tests: value tokens, a printable form of a value, and a
// variable lookup that resolves names the way a sheet resolves field texts.
#pragma once

#include "expression/KELDExpression.h"
#include "support/Numbers.h"
#include "support/Text.h"

#include <string>
#include <utility>
#include <vector>

namespace ff::test {

inline TToken Undef()
{
    return TToken();
}
inline TToken Num(double d)
{
    TToken t;
    t.SetDblVal(d);
    return t;
}
inline TToken Bool(bool b)
{
    TToken t;
    t.SetBoolVal(b);
    return t;
}
inline TToken Txt(std::string_view s)
{
    TToken t;
    t.SetTextVal(s);
    return t;
}

// "u", "n:<text>", "b:<text>" or "t:<text>".
inline std::string Show(const TToken& t)
{
    switch (t.DataType) {
    case dtNumber:
        return "n:" + t.AsText();
    case dtBool:
        return "b:" + t.AsText();
    case dtText:
        return "t:" + t.AsText();
    case dtUndef:
        break;
    }
    return "u";
}

// Field texts by name (ignoring case): an integer text becomes a number, anything else a text.
struct TFieldTexts
{
    std::vector<std::pair<std::string, std::string>> Fields;
    int Lookups = 0;

    void Set(const std::string& sName, const std::string& sText)
    {
        for (auto& f : Fields)
            if (SameText(f.first, sName)) {
                f.second = sText;
                return;
            }
        Fields.emplace_back(sName, sText);
    }

    bool Get(const std::string& sName, TToken& tVal)
    {
        ++Lookups;
        for (const auto& [sKey, sText] : Fields) {
            if (!SameText(sKey, sName)) continue;
            std::int32_t n;
            if (TryTextToInteger(sText, n)) {
                tVal.TypeID = tkNumber;
                tVal.SetDblVal(n);
            } else {
                tVal.TypeID = tkText;
                tVal.SetTextVal(sText);
            }
            return true;
        }
        return false;
    }

    TECGetSetVariable Callback() { return TECGetSetVariable::Bind<&TFieldTexts::Get>(this); }
};

// Compiles and evaluates; "error: <message>" or the Show form of the answer.
inline std::string Eval(TKELDExpression& ex, std::string_view sSource)
{
    ex.SetExpression(sSource);
    if (!ex.Execute()) return "error: " + ex.ErrorMsg;
    return Show(ex.Answer);
}

} // namespace ff::test
