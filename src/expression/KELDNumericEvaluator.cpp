// The numeric evaluator of TKELDExpression: the common field sources (numbers, names, arithmetic,
// comparisons, max, round, if, ...) evaluated on a stack of plain numbers and booleans instead
// of tokens. It follows the token evaluator's rules step for step and hands over to it, with
// the values so far, as soon as a name yields a text or no value.
#include "expression/KELDExpression.h"

#include "expression/Arithmetic.h"
#include "expression/BuiltinFunctions.h"
#include "expression/ValueTokens.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace ff {

namespace {

// One operation per kind, so that a step needs a single dispatch. The "K" forms take their
// right operand from the step, a number literal of the sequence.
enum TNumOp : std::uint8_t {
    noNumber,
    noBool,
    noVariable,
    noNeg,
    noPos,
    noNot,
    noAdd,
    noSubtract,
    noMult,
    noDiv,
    noMod,
    noPow,
    noEq,
    noNE,
    noLT,
    noLTE,
    noGT,
    noGTE,
    noAnd,
    noOr,
    noXOR,
    noAddK,
    noSubtractK,
    noMultK,
    noDivK,
    noModK,
    noPowK,
    noEqK,
    noNEK,
    noLTK,
    noLTEK,
    noGTK,
    noGTEK,
    noIf,
    noIfKK, // if(condition, literal, literal)
    noMax,
    noMin,
    noRound, // round with one argument
    noNumericFn,
};

constexpr int kStackShort = -1; // not enough values for the operator: its own message

// The operation of an arithmetic or comparison operator, or -1; nBase is noAdd or noAddK.
int BinaryOp(TTokenID kind, int nBase)
{
    switch (kind) {
    case tkAdd:
        return nBase;
    case tkSubtract:
        return nBase + 1;
    case tkMult:
        return nBase + 2;
    case tkDiv:
        return nBase + 3;
    case tkMod:
        return nBase + 4;
    case tkPow:
        return nBase + 5;
    case tkEq:
        return nBase + 6;
    case tkNE:
        return nBase + 7;
    case tkLT:
        return nBase + 8;
    case tkLTE:
        return nBase + 9;
    case tkGT:
        return nBase + 10;
    case tkGTE:
        return nBase + 11;
    default:
        return -1;
    }
}

bool IsLiteral(const TToken* tk)
{
    return tk->TypeID == tkNumber || tk->TypeID == tkBool;
}

double LiteralValue(const TToken* tk)
{
    return tk->TypeID == tkBool ? (tk->FBoolVal ? 1 : 0) : tk->FDblVal;
}

// The numeric stack: values num[0] .. num[nTop - 2] in memory and the top value in a register,
// so that a value made by one step and used by the next does not go through memory.
// num[-1] exists, so that pushing onto an empty stack needs no test.
struct TNumStack
{
    double* num;
    unsigned char* isBool;
    int nTop = 0;
    double top = 0;
    unsigned char topBool = 0;

    void Push(double v, unsigned char b)
    {
        num[nTop - 1] = top;
        isBool[nTop - 1] = topBool;
        top = v;
        topBool = b;
        ++nTop;
    }
    // Takes away the top value; the one below becomes the top.
    void Drop()
    {
        --nTop;
        top = num[nTop - 1];
        topBool = isBool[nTop - 1];
    }
    // Puts the top value into memory too, for the steps that read the values as an array.
    void Spill()
    {
        num[nTop - 1] = top;
        isBool[nTop - 1] = topBool;
    }
};

// Two numbers: booleans neither compute nor compare.
template <TTokenID Op, bool Checked> inline int Arith(TNumStack& st)
{
    if (Checked && st.nTop < 2) return kStackShort;
    if (st.isBool[st.nTop - 2] | st.topBool) return orInvalidTypecast;
    const int nCode = NumericOp(Op, st.num[st.nTop - 2], st.top, st.top);
    --st.nTop;
    return nCode;
}

template <TTokenID Op, bool Checked> inline int ArithK(TNumStack& st, double r)
{
    if (Checked && st.nTop < 1) return kStackShort;
    if (st.topBool) return orInvalidTypecast;
    return NumericOp(Op, st.top, r, st.top);
}

template <TTokenID Op, bool Checked> inline int Compare(TNumStack& st)
{
    if (Checked && st.nTop < 2) return kStackShort;
    if (st.isBool[st.nTop - 2] | st.topBool) return orInvalidTypecast;
    st.top = CompareNumbers(Op, st.num[st.nTop - 2], st.top) ? 1 : 0;
    st.topBool = 1;
    --st.nTop;
    return orOK;
}

template <TTokenID Op, bool Checked> inline int CompareK(TNumStack& st, double r)
{
    if (Checked && st.nTop < 1) return kStackShort;
    if (st.topBool) return orInvalidTypecast;
    st.top = CompareNumbers(Op, st.top, r) ? 1 : 0;
    st.topBool = 1;
    return orOK;
}

// Only two booleans combine.
template <TTokenID Op, bool Checked> inline int Logic(TNumStack& st)
{
    if (Checked && st.nTop < 2) return kStackShort;
    if (!(st.isBool[st.nTop - 2] & st.topBool)) return orInvalidTypecast;
    const bool a = st.num[st.nTop - 2] != 0, b = st.top != 0;
    st.top = (Op == tkAnd ? (a && b) : Op == tkOr ? (a || b) : (a != b)) ? 1 : 0;
    --st.nTop;
    return orOK;
}

// The variable token handed to the lookup keeps its name from the last evaluation unless the
// lookup or a hand-over changed it.
// Names are short, so the test reads them in at most two overlapping words instead of calling
// memcmp.
template <class TWord> inline TWord LoadWord(const char* p)
{
    TWord w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

inline bool SameBytes(const std::string& a, const std::string& b)
{
    const size_t n = a.size();
    if (n != b.size()) return false;
    const char* pa = a.data();
    const char* pb = b.data();
    if (n < 4) // the first, middle and last byte cover every byte of a short name
        return n == 0 || (pa[0] == pb[0] && pa[n / 2] == pb[n / 2] && pa[n - 1] == pb[n - 1]);
    if (n <= 8)
        return LoadWord<std::uint32_t>(pa) == LoadWord<std::uint32_t>(pb) &&
               LoadWord<std::uint32_t>(pa + n - 4) == LoadWord<std::uint32_t>(pb + n - 4);
    if (n <= 16)
        return LoadWord<std::uint64_t>(pa) == LoadWord<std::uint64_t>(pb) &&
               LoadWord<std::uint64_t>(pa + n - 8) == LoadWord<std::uint64_t>(pb + n - 8);
    return std::memcmp(pa, pb, n) == 0;
}

} // namespace

void TKELDExpression::BuildNumericProgram()
{
    FNumProgram.clear();
    FNumVars.clear();
    FNumericOK = false;
    const int nCount = FStack.Count();
    // The operation of a numeric function token, or -1 when the token evaluator must call it.
    const auto functionOp = [this](const TToken* tk) -> int {
        if (tk->TypeID != tkFunction) return -1;
        // The built-ins keep indexes 0 to 11 (a later record of the same name never wins).
        const int nIndex = tk->CallbackIndex;
        const bool bNumeric = nIndex >= bfMax && nIndex <= bfSign;
        if (!bNumeric && nIndex != bfIf) return -1;
        const TECFunctionRec& rec = FFunctionList[static_cast<size_t>(nIndex)];
        if (tk->ParamCount < 1 || (rec.MinParams > 0 && tk->ParamCount < rec.MinParams) ||
            (rec.MaxParams > 0 && tk->ParamCount > rec.MaxParams))
            return -1; // left to the token evaluator and its messages
        switch (nIndex) {
        case bfIf:
            return noIf;
        case bfMax:
            return noMax;
        case bfMin:
            return noMin;
        case bfRound:
            return tk->ParamCount == 1 ? noRound : noNumericFn;
        default:
            return noNumericFn;
        }
    };
    for (int i = 0; i < nCount; ++i) {
        const TToken* tk = FStack[static_cast<size_t>(i)];
        TNumStep s{0, 0, 0, i, 0, 0, tk};
        const TToken* next = i + 1 < nCount ? FStack[static_cast<size_t>(i + 1)] : nullptr;
        const TToken* after = i + 2 < nCount ? FStack[static_cast<size_t>(i + 2)] : nullptr;
        if (IsLiteral(tk) && next && IsLiteral(next) && after && functionOp(after) == noIf &&
            after->ParamCount == 3) {
            s.Op = noIfKK;
            s.Num = LiteralValue(tk);
            s.Num2 = LiteralValue(next);
            s.Bools = static_cast<std::uint8_t>((tk->TypeID == tkBool ? 1 : 0) |
                                                (next->TypeID == tkBool ? 2 : 0));
            s.N = 3;
            s.Src = i + 2;
            s.Tok = after;
            FNumProgram.push_back(s);
            i += 2;
            continue;
        }
        if (tk->TypeID == tkNumber && next && BinaryOp(next->TypeID, noAddK) >= 0) {
            s.Op = static_cast<std::uint8_t>(BinaryOp(next->TypeID, noAddK));
            s.Num = tk->FDblVal;
            s.Src = i + 1;
            s.Tok = next;
            FNumProgram.push_back(s);
            ++i;
            continue;
        }
        switch (tk->TypeID) {
        case tkNumber:
            s.Op = noNumber;
            s.Num = tk->FDblVal;
            break;
        case tkBool:
            s.Op = noBool;
            s.Num = tk->FBoolVal ? 1 : 0;
            s.Bools = 1;
            break;
        case tkVariable:
            s.Op = noVariable;
            s.N = static_cast<int>(FNumVars.size());
            FNumVars.emplace_back(tk->Text, tkVariable);
            break;
        case tkNeg:
            s.Op = noNeg;
            break;
        case tkPos:
            s.Op = noPos;
            break;
        case tkNot:
            s.Op = noNot;
            break;
        case tkAnd:
            s.Op = noAnd;
            break;
        case tkOr:
            s.Op = noOr;
            break;
        case tkXOR:
            s.Op = noXOR;
            break;
        case tkFunction: {
            const int nOp = functionOp(tk);
            if (nOp < 0) return;
            s.Op = static_cast<std::uint8_t>(nOp);
            s.N = tk->ParamCount;
            break;
        }
        default: {
            const int nOp = BinaryOp(tk->TypeID, noAdd);
            if (nOp < 0) return; // texts, assignments: tokens only
            s.Op = static_cast<std::uint8_t>(nOp);
            break;
        }
        }
        FNumProgram.push_back(s);
    }
    // Unless a "not" can take a value away, the depth of the stack at every step is known now;
    // when no step can then run short of values, the evaluation need not count them.
    FNumChecked = false;
    int nDepth = 0;
    for (const TNumStep& s : FNumProgram) {
        int nNeed = 0, nLeft = 1; // values taken, values left
        switch (s.Op) {
        case noNumber:
        case noBool:
        case noVariable:
            nLeft = 1;
            break;
        case noNot:
            FNumChecked = true;
            break;
        case noNeg:
        case noPos:
        case noIfKK:
        case noRound:
            nNeed = 1;
            break;
        case noIf:
            nNeed = 3;
            break;
        case noMax:
        case noMin:
        case noNumericFn:
            nNeed = s.N;
            break;
        default:
            nNeed = s.Op >= noAddK ? 1 : 2;
            break;
        }
        if (nDepth < nNeed) FNumChecked = true;
        nDepth += nLeft - nNeed;
    }
    FNumericOK = true;
}

bool TKELDExpression::EvaluateNumeric(double& d)
{
    return FNumChecked ? RunNumericSteps<true>(d) : RunNumericSteps<false>(d);
}

template <bool Checked> bool TKELDExpression::RunNumericSteps(double& d)
{
    TNumStack st{FNum.data() + 1, FIsBool.data() + 1};
    int nCode = orOK;
    const TNumStep* const pEnd = FNumProgram.data() + FNumProgram.size();
    for (const TNumStep* p = FNumProgram.data(); p != pEnd; ++p) {
        const TNumStep& s = *p;
        switch (static_cast<TNumOp>(s.Op)) {
        case noNumber:
        case noBool:
            st.Push(s.Num, s.Bools);
            break;
        case noVariable: {
            if (!GetVariable.Assigned()) {
                SetError("Unknown Identifier: " + s.Tok->Text);
                return false;
            }
            // A fresh variable token.
            TToken& var = FNumVars[static_cast<size_t>(s.N)];
            const std::string& sName = s.Tok->Text;
            var.FDblVal = 0;
            var.FBoolVal = false;
            if (!var.FTextVal.empty()) var.FTextVal.clear();
            var.TypeID = tkVariable;
            var.DataType = dtUndef;
            var.Precedence = 0;
            var.ParamCount = 0;
            var.CallbackIndex = -1;
            if (!SameBytes(var.Text, sName)) var.Text = sName;
            if (!GetVariable(sName, var)) {
                SetError("Invalid Expression");
                return false;
            }
            if (var.DataType == dtNumber) {
                st.Push(var.FDblVal, 0);
                break;
            }
            if (var.DataType == dtBool) {
                st.Push(var.FBoolVal ? 1 : 0, 1);
                break;
            }
            // A text or no value: the token evaluator goes on from the next token.
            st.Spill();
            for (int i = 0; i < st.nTop; ++i) {
                TToken& t = FSlots[static_cast<size_t>(i)];
                ResetValue(t);
                if (st.isBool[i])
                    t.SetBoolVal(st.num[i] != 0);
                else
                    t.SetDblVal(st.num[i]);
            }
            MoveValue(FSlots[static_cast<size_t>(st.nTop)], var);
            return EvaluateFrom(s.Src + 1, st.nTop + 1, d);
        }
        case noNeg:
        case noPos:
            if (Checked && st.nTop < 1) {
                nCode = kStackShort;
                break;
            }
            // A boolean counts as 1 or 0; the result is a number.
            if (s.Op == noNeg) st.top = -st.top;
            st.topBool = 0;
            break;
        case noNot:
            if (Checked && st.nTop < 1) {
                nCode = kStackShort;
                break;
            }
            if (st.topBool)
                st.top = st.top != 0 ? 0 : 1;
            else
                st.Drop(); // "not" of a number fails without a message and leaves no value
            break;
        case noAdd:
            nCode = Arith<tkAdd, Checked>(st);
            break;
        case noSubtract:
            nCode = Arith<tkSubtract, Checked>(st);
            break;
        case noMult:
            nCode = Arith<tkMult, Checked>(st);
            break;
        case noDiv:
            nCode = Arith<tkDiv, Checked>(st);
            break;
        case noMod:
            nCode = Arith<tkMod, Checked>(st);
            break;
        case noPow:
            nCode = Arith<tkPow, Checked>(st);
            break;
        case noEq:
            nCode = Compare<tkEq, Checked>(st);
            break;
        case noNE:
            nCode = Compare<tkNE, Checked>(st);
            break;
        case noLT:
            nCode = Compare<tkLT, Checked>(st);
            break;
        case noLTE:
            nCode = Compare<tkLTE, Checked>(st);
            break;
        case noGT:
            nCode = Compare<tkGT, Checked>(st);
            break;
        case noGTE:
            nCode = Compare<tkGTE, Checked>(st);
            break;
        case noAnd:
            nCode = Logic<tkAnd, Checked>(st);
            break;
        case noOr:
            nCode = Logic<tkOr, Checked>(st);
            break;
        case noXOR:
            nCode = Logic<tkXOR, Checked>(st);
            break;
        case noAddK:
            nCode = ArithK<tkAdd, Checked>(st, s.Num);
            break;
        case noSubtractK:
            nCode = ArithK<tkSubtract, Checked>(st, s.Num);
            break;
        case noMultK:
            nCode = ArithK<tkMult, Checked>(st, s.Num);
            break;
        case noDivK:
            nCode = ArithK<tkDiv, Checked>(st, s.Num);
            break;
        case noModK:
            nCode = ArithK<tkMod, Checked>(st, s.Num);
            break;
        case noPowK:
            nCode = ArithK<tkPow, Checked>(st, s.Num);
            break;
        case noEqK:
            nCode = CompareK<tkEq, Checked>(st, s.Num);
            break;
        case noNEK:
            nCode = CompareK<tkNE, Checked>(st, s.Num);
            break;
        case noLTK:
            nCode = CompareK<tkLT, Checked>(st, s.Num);
            break;
        case noLTEK:
            nCode = CompareK<tkLTE, Checked>(st, s.Num);
            break;
        case noGTK:
            nCode = CompareK<tkGT, Checked>(st, s.Num);
            break;
        case noGTEK:
            nCode = CompareK<tkGTE, Checked>(st, s.Num);
            break;
        case noIf: {
            if (Checked && st.nTop < 3) {
                nCode = kStackShort;
                break;
            }
            const int nCond = st.nTop - 3;
            if (st.num[nCond] != 0) {
                st.top = st.num[nCond + 1];
                st.topBool = st.isBool[nCond + 1];
            }
            st.nTop -= 2;
            break;
        }
        case noIfKK: {
            // The two literals would take the places above the condition.
            if (Checked && st.nTop < 1) {
                nCode = kStackShort;
                break;
            }
            const bool bFirst = st.top != 0;
            st.top = bFirst ? s.Num : s.Num2;
            st.topBool = (s.Bools >> (bFirst ? 0 : 1)) & 1;
            break;
        }
        case noMax:
        case noMin: {
            if (Checked && st.nTop < s.N) {
                nCode = kStackShort;
                break;
            }
            // From the first argument, each following one compared in turn.
            st.Spill();
            const double* a = st.num + (st.nTop - s.N);
            double dRes = a[0];
            if (s.Op == noMax) {
                for (int i = 1; i < s.N; ++i)
                    if (a[i] > dRes) dRes = a[i];
            } else {
                for (int i = 1; i < s.N; ++i)
                    if (a[i] < dRes) dRes = a[i];
            }
            if (!std::isfinite(dRes)) {
                SetError(std::isnan(dRes) ? "Invalid Floating Point Operation"
                                          : "Floating Point Overflow");
                return false;
            }
            st.top = dRes;
            st.topBool = 0;
            st.nTop -= s.N - 1;
            break;
        }
        case noRound: {
            if (Checked && st.nTop < 1) {
                nCode = kStackShort;
                break;
            }
            if (!std::isfinite(st.top)) {
                SetError(std::isnan(st.top) ? "Invalid Floating Point Operation"
                                            : "Floating Point Overflow");
                return false;
            }
            st.top = RoundWholeHalfEven(st.top);
            st.topBool = 0;
            break;
        }
        case noNumericFn: {
            if (Checked && st.nTop < s.N) {
                nCode = kStackShort;
                break;
            }
            st.Spill();
            double dRes = 0;
            const char* pError = nullptr;
            if (!NumericBuiltin(s.Tok->CallbackIndex, st.num + (st.nTop - s.N), s.N, dRes,
                                pError)) {
                SetError(pError ? pError : "Invalid Expression");
                return false;
            }
            st.top = dRes;
            st.topBool = 0;
            st.nTop -= s.N - 1;
            break;
        }
        }
        if (nCode != orOK) {
            if (nCode == kStackShort)
                SetError("Incorrect number of parameters for " + s.Tok->Text);
            else
                SetError(OpResultText(nCode));
            return false;
        }
    }
    if (isError) return false; // recorded by a nested call from a callback
    if (st.nTop != 1) {
        SetError("Invalid Expression");
        return false;
    }
    const double dVal = st.top;
    const bool bBool = st.topBool != 0;
    if (!bBool && !std::isfinite(dVal)) {
        SetError(OpResultText(std::isnan(dVal) ? orInvalidOperation : orOverflow));
        return false;
    }
    ResetValue(Answer);
    if (bBool)
        Answer.SetBoolVal(dVal != 0);
    else
        Answer.SetDblVal(dVal);
    d = dVal;
    return true;
}

} // namespace ff
