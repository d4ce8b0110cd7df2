// The numeric evaluator of TKELDExpression: the common field sources (numbers, names, arithmetic,
// comparisons, max, round, if, ...) evaluated on a stack of plain numbers and booleans instead
// of tokens. It follows the token evaluator's rules step for step and hands over to it, with
// the values so far, as soon as a name yields a text or no value.
#include "expression/KELDExpression.h"

#include "expression/Arithmetic.h"
#include "expression/BuiltinFunctions.h"
#include "expression/ValueTokens.h"

#include <cmath>

namespace ff {

namespace {

enum TNumCategory : int {
    ncNumber,
    ncBool,
    ncVariable,
    ncNegPos,
    ncNot,
    ncArithmetic,
    ncCompare,
    ncLogic,
    ncIf,
    ncNumericFn,
};

} // namespace

void TKELDExpression::BuildNumericProgram()
{
    FNumProgram.clear();
    FNumVars.clear();
    FNumericOK = false;
    for (const TToken* tk : FStack) {
        TNumStep s{0, tk->TypeID, 0, 0, tk};
        switch (tk->TypeID) {
        case tkNumber:
            s.Cat = ncNumber;
            s.Num = tk->FDblVal;
            break;
        case tkBool:
            s.Cat = ncBool;
            s.Num = tk->FBoolVal ? 1 : 0;
            break;
        case tkVariable:
            s.Cat = ncVariable;
            s.N = static_cast<int>(FNumVars.size());
            FNumVars.emplace_back(tk->Text, tkVariable);
            break;
        case tkNeg:
        case tkPos:
            s.Cat = ncNegPos;
            break;
        case tkNot:
            s.Cat = ncNot;
            break;
        case tkAdd:
        case tkSubtract:
        case tkMult:
        case tkDiv:
        case tkMod:
        case tkPow:
            s.Cat = ncArithmetic;
            break;
        case tkEq:
        case tkNE:
        case tkLT:
        case tkLTE:
        case tkGT:
        case tkGTE:
            s.Cat = ncCompare;
            break;
        case tkAnd:
        case tkOr:
        case tkXOR:
            s.Cat = ncLogic;
            break;
        case tkFunction: {
            // The built-ins keep indexes 0 to 11 (a later record of the same name never wins).
            const int nIndex = tk->CallbackIndex;
            const bool bNumeric = nIndex >= bfMax && nIndex <= bfSign;
            if (!bNumeric && nIndex != bfIf) return;
            const TECFunctionRec& rec = FFunctionList[static_cast<size_t>(nIndex)];
            if (tk->ParamCount < 1 || (rec.MinParams > 0 && tk->ParamCount < rec.MinParams) ||
                (rec.MaxParams > 0 && tk->ParamCount > rec.MaxParams))
                return; // left to the token evaluator and its messages
            s.Cat = bNumeric ? ncNumericFn : ncIf;
            s.N = tk->ParamCount;
            break;
        }
        default:
            return; // texts, assignments: tokens only
        }
        FNumProgram.push_back(s);
    }
    FNumericOK = true;
}

bool TKELDExpression::EvaluateNumeric(double& d)
{
    double* const num = FNum.data();
    unsigned char* const isBool = FIsBool.data();
    int nTop = 0;
    const int nSteps = static_cast<int>(FNumProgram.size());
    for (int nStep = 0; nStep < nSteps; ++nStep) {
        const TNumStep& s = FNumProgram[static_cast<size_t>(nStep)];
        switch (s.Cat) {
        case ncNumber:
        case ncBool:
            num[nTop] = s.Num;
            isBool[nTop] = s.Cat == ncBool;
            ++nTop;
            break;
        case ncVariable: {
            if (!GetVariable.Assigned()) {
                SetError("Unknown Identifier: " + s.Tok->Text);
                return false;
            }
            // A fresh variable token; its name stays from the last evaluation unless a callback
            // or a hand-over changed it.
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
            if (var.Text != sName) var.Text = sName;
            if (!GetVariable(sName, var)) {
                SetError("Invalid Expression");
                return false;
            }
            if (var.DataType == dtNumber || var.DataType == dtBool) {
                const bool b = var.DataType == dtBool;
                num[nTop] = b ? (var.FBoolVal ? 1 : 0) : var.FDblVal;
                isBool[nTop] = b;
                ++nTop;
                break;
            }
            // A text or no value: the token evaluator goes on from the next step.
            for (int i = 0; i < nTop; ++i) {
                TToken& t = FSlots[static_cast<size_t>(i)];
                ResetValue(t);
                if (isBool[i])
                    t.SetBoolVal(num[i] != 0);
                else
                    t.SetDblVal(num[i]);
            }
            MoveValue(FSlots[static_cast<size_t>(nTop)], var);
            return EvaluateFrom(nStep + 1, nTop + 1, d);
        }
        case ncNegPos:
            if (nTop < 1) {
                SetError("Incorrect number of parameters for " + s.Tok->Text);
                return false;
            }
            // A boolean counts as 1 or 0; the result is a number.
            if (s.Kind == tkNeg) num[nTop - 1] = -num[nTop - 1];
            isBool[nTop - 1] = 0;
            break;
        case ncNot:
            if (nTop < 1) {
                SetError("Incorrect number of parameters for " + s.Tok->Text);
                return false;
            }
            if (isBool[nTop - 1])
                num[nTop - 1] = num[nTop - 1] != 0 ? 0 : 1;
            else
                --nTop; // "not" of a number fails without a message and leaves no value
            break;
        case ncArithmetic:
        case ncCompare:
        case ncLogic: {
            if (nTop < 2) {
                SetError("Incorrect number of parameters for " + s.Tok->Text);
                return false;
            }
            double& l = num[nTop - 2];
            const double r = num[nTop - 1];
            const bool bLeftBool = isBool[nTop - 2] != 0, bRightBool = isBool[nTop - 1] != 0;
            if (s.Cat == ncLogic) {
                // Only two booleans combine.
                if (!bLeftBool || !bRightBool) {
                    SetError(OpResultText(orInvalidTypecast));
                    return false;
                }
                const bool a = l != 0, b = r != 0;
                l = (s.Kind == tkAnd ? (a && b) : s.Kind == tkOr ? (a || b) : (a != b)) ? 1 : 0;
            } else {
                // Booleans neither compute nor compare.
                if (bLeftBool || bRightBool) {
                    SetError(OpResultText(orInvalidTypecast));
                    return false;
                }
                if (s.Cat == ncCompare) {
                    l = CompareNumbers(s.Kind, l, r) ? 1 : 0;
                    isBool[nTop - 2] = 1;
                } else {
                    const int nCode = NumericOp(s.Kind, l, r, l);
                    if (nCode != orOK) {
                        SetError(OpResultText(nCode));
                        return false;
                    }
                }
            }
            --nTop;
            break;
        }
        case ncIf: {
            if (nTop < 3) {
                SetError("Incorrect number of parameters for " + s.Tok->Text);
                return false;
            }
            const int nBase = nTop - 3;
            const int nPick = num[nBase] != 0 ? nBase + 1 : nBase + 2;
            num[nBase] = num[nPick];
            isBool[nBase] = isBool[nPick];
            nTop = nBase + 1;
            break;
        }
        case ncNumericFn: {
            if (nTop < s.N) {
                SetError("Incorrect number of parameters for " + s.Tok->Text);
                return false;
            }
            const int nBase = nTop - s.N;
            double dRes = 0;
            const char* pError = nullptr;
            if (!NumericBuiltin(s.Tok->CallbackIndex, num + nBase, s.N, dRes, pError)) {
                SetError(pError ? pError : "Invalid Expression");
                return false;
            }
            num[nBase] = dRes;
            isBool[nBase] = 0;
            nTop = nBase + 1;
            break;
        }
        default:
            break;
        }
    }
    if (isError) return false; // recorded by a nested call from a callback
    if (nTop != 1) {
        SetError("Invalid Expression");
        return false;
    }
    const double dVal = num[0];
    const bool bBool = isBool[0] != 0;
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
