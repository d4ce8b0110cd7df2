#include "expression/Tokens.h"

#include "support/Numbers.h"

namespace ff {

std::unique_ptr<TToken> TToken::Clone() const
{
    auto tk = std::make_unique<TToken>();
    tk->CopyFrom(*this);
    return tk;
}

void TToken::CopyFrom(const TToken& tk)
{
    if (&tk == this) return;
    TypeID = tk.TypeID;
    DataType = tk.DataType;
    Precedence = tk.Precedence;
    Text = tk.Text;
    FDblVal = tk.FDblVal;
    FBoolVal = tk.FBoolVal;
    FTextVal = tk.FTextVal;
    ParamCount = tk.ParamCount;
    CallbackIndex = tk.CallbackIndex;
}

void TToken::CopyValFrom(const TToken& tk)
{
    if (&tk == this) return;
    DataType = tk.DataType;
    FDblVal = tk.FDblVal;
    FBoolVal = tk.FBoolVal;
    FTextVal = tk.FTextVal;
}

double TToken::AsDouble() const
{
    switch (DataType) {
    case dtNumber:
        return FDblVal;
    case dtBool:
        return FBoolVal ? 1.0 : 0.0;
    case dtText:
        return IsNumericText(FTextVal) ? TextToNumber(FTextVal) : 0.0;
    case dtUndef:
        break;
    }
    return 0.0;
}

bool TToken::AsBool() const
{
    switch (DataType) {
    case dtNumber:
        return FDblVal != 0;
    case dtBool:
        return FBoolVal;
    case dtText:
        return !FTextVal.empty();
    case dtUndef:
        break;
    }
    return false;
}

std::string TToken::AsText() const
{
    switch (DataType) {
    case dtNumber:
        return NumberToText(FDblVal);
    case dtBool:
        return FBoolVal ? "true" : "false";
    case dtText:
        return FTextVal;
    case dtUndef:
        break;
    }
    return {};
}

bool TToken::CanCastDouble() const
{
    return DataType != dtText || IsNumericText(FTextVal);
}

const char* OpResultText(int nCode)
{
    switch (nCode) {
    case orOK:
        return "OK";
    case orDivideByZero:
        return "Divide By Zero";
    case orInvalidTypecast:
        return "Invalid Typecast";
    case orNotHandled:
        return "Not Handled";
    case orOverflow:
        return "Floating Point Overflow";
    case orInvalidOperation:
        return "Invalid Floating Point Operation";
    default:
        return "Unknown Error";
    }
}

} // namespace ff
