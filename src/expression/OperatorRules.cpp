// The rules by which the operators combine values of mixed kinds.
#include "expression/Tokens.h"

#include "expression/Arithmetic.h"

#include "support/Numbers.h"
#include "support/Text.h"

#include <cmath>

namespace ff {

namespace {

bool IsNumericTextToken(const TToken& t)
{
    return t.DataType == dtText && IsNumericText(t.FTextVal);
}

void Join(const TToken& L, const TToken& R, TToken& ans)
{
    std::string s = L.AsText();
    s += R.AsText();
    ans.FTextVal = std::move(s);
    ans.DataType = dtText;
}

int Arithmetic(TTokenID op, double l, double r, TToken& ans)
{
    double d = 0;
    const int nCode = NumericOp(op, l, r, d);
    if (nCode == orOK) ans.SetDblVal(d);
    return nCode;
}

int AddRule(const TToken& L, const TToken& R, TToken& ans)
{
    const TTokenDataType a = L.DataType, b = R.DataType;
    if (a == dtUndef || b == dtUndef) {
        ans.DataType = dtUndef;
        return orOK;
    }
    if (a == dtNumber && b == dtNumber) return Arithmetic(tkAdd, L.FDblVal, R.FDblVal, ans);
    if (a == dtNumber && b == dtText) {
        if (IsNumericText(R.FTextVal)) return Arithmetic(tkAdd, L.FDblVal, R.AsDouble(), ans);
        Join(L, R, ans);
        return orOK;
    }
    if (a == dtText && b == dtNumber) {
        if (IsNumericText(L.FTextVal)) return Arithmetic(tkAdd, L.AsDouble(), R.FDblVal, ans);
        Join(L, R, ans);
        return orOK;
    }
    if (a == dtText || b == dtText) { // text with text or with a boolean
        Join(L, R, ans);
        return orOK;
    }
    return orInvalidTypecast; // booleans with numbers or booleans
}

// "-", "*", "/", "%", "^": numbers and numeric texts only.
int ArithmeticRule(TTokenID op, const TToken& L, const TToken& R, TToken& ans)
{
    const TTokenDataType a = L.DataType, b = R.DataType;
    const bool bDivLike = op == tkDiv || op == tkMod || op == tkPow;
    if (a == dtUndef || b == dtUndef) {
        // An undefined left operand cannot be divided by (or raised to) a number.
        if (bDivLike && a == dtUndef && b == dtNumber) return orInvalidTypecast;
        ans.DataType = dtUndef;
        return orOK;
    }
    const bool bLeftNum = a == dtNumber || IsNumericTextToken(L);
    const bool bRightNum = b == dtNumber || IsNumericTextToken(R);
    // Two texts never compute, even when both are numeric.
    if (a == dtText && b == dtText) return orInvalidTypecast;
    if (!bLeftNum || !bRightNum) return orInvalidTypecast;
    return Arithmetic(op, L.AsDouble(), R.AsDouble(), ans);
}

int CompareRule(TTokenID op, const TToken& L, const TToken& R, TToken& ans)
{
    const TTokenDataType a = L.DataType, b = R.DataType;
    if (a == dtUndef || b == dtUndef) return orNotHandled;
    int nCmp;
    if (a == dtText && b == dtText) {
        nCmp = CompareCodeUnits(L.FTextVal, R.FTextVal);
    } else {
        const bool bLeftNum = a == dtNumber || IsNumericTextToken(L);
        const bool bRightNum = b == dtNumber || IsNumericTextToken(R);
        if (!bLeftNum || !bRightNum) return orInvalidTypecast; // booleans never compare
        ans.SetBoolVal(CompareNumbers(op, L.AsDouble(), R.AsDouble()));
        return orOK;
    }
    ans.SetBoolVal(CompareNumbers(op, nCmp, 0));
    return orOK;
}

int LogicRule(TTokenID op, const TToken& L, const TToken& R, TToken& ans)
{
    if (L.DataType == dtUndef || R.DataType == dtUndef) return orNotHandled;
    if (L.DataType != dtBool || R.DataType != dtBool) return orInvalidTypecast;
    const bool l = L.FBoolVal, r = R.FBoolVal;
    ans.SetBoolVal(op == tkAnd ? (l && r) : op == tkOr ? (l || r) : (l != r));
    return orOK;
}

int AssignRule(const TToken& L, const TToken& R, TToken& ans)
{
    if (L.TypeID != tkVariable) return orInvalidTypecast;
    if (&ans == &R) {
        TToken tVal;
        tVal.CopyValFrom(R);
        ans.CopyFrom(L);
        ans.CopyValFrom(tVal);
    } else {
        ans.CopyFrom(L);
        ans.CopyValFrom(R);
    }
    return orOK;
}

} // namespace

int ApplyBinaryOp(TTokenID op, const TToken& L, const TToken& R, TToken& ans)
{
    switch (op) {
    case tkAdd:
        return AddRule(L, R, ans);
    case tkSubtract:
    case tkMult:
    case tkDiv:
    case tkMod:
    case tkPow:
        return ArithmeticRule(op, L, R, ans);
    case tkEq:
    case tkNE:
    case tkLT:
    case tkLTE:
    case tkGT:
    case tkGTE:
        return CompareRule(op, L, R, ans);
    case tkAnd:
    case tkOr:
    case tkXOR:
        return LogicRule(op, L, R, ans);
    case tkAssign:
        return AssignRule(L, R, ans);
    default:
        return orNotHandled;
    }
}

int ApplyUnaryOp(TTokenID op, const TToken& X, TToken& ans)
{
    switch (op) {
    case tkNeg:
    case tkPos:
        if (!X.CanCastDouble()) return orInvalidTypecast;
        ans.SetDblVal(op == tkNeg ? -X.AsDouble() : X.AsDouble());
        return orOK;
    case tkNot:
        if (X.DataType != dtBool) return orInvalidTypecast;
        ans.SetBoolVal(!X.FBoolVal);
        return orOK;
    default:
        return orNotHandled;
    }
}

} // namespace ff
