// The evaluator of TKELDExpression: runs the compiled sequence over a stack of values.
#include "expression/KELDExpression.h"

#include "expression/Arithmetic.h"
#include "expression/ValueTokens.h"

#include <cmath>

namespace ff {

void TKELDExpression::PrepareValues()
{
    // Each token of the sequence leaves at most one value behind and one answer is under
    // construction at a time, so the sequence's length plus one bounds the stack.
    const size_t nNeed = static_cast<size_t>(FStack.Count()) + 1;
    if (FSlots.size() < nNeed) FSlots.resize(nNeed);
    FArgs.Reserve(nNeed);
    // The numeric stack has one more place below its bottom, so that pushing onto an empty
    // stack needs no test.
    if (FNum.size() < nNeed + 1) {
        FNum.resize(nNeed + 1);
        FIsBool.resize(nNeed + 1);
    }
}

namespace {

// A value token holding a literal of the sequence. The literal's source text is not carried:
// only a name's text means anything to the operators.
inline void SetLiteral(TToken& v, const TToken& lit)
{
    v.TypeID = lit.TypeID;
    v.DataType = lit.DataType;
    v.FDblVal = lit.FDblVal;
    v.FBoolVal = lit.FBoolVal;
    if (lit.DataType == dtText) v.FTextVal = lit.FTextVal;
    v.Precedence = 0;
    v.ParamCount = 0;
    v.CallbackIndex = -1;
    if (!v.Text.empty()) v.Text.clear();
}

// The common case of two numbers, done without the general rules; false when the general
// rules must decide (other kinds, operators or faults).
inline bool NumericFastPath(TTokenID op, TToken& l, const TToken& r)
{
    if (l.DataType != dtNumber || r.DataType != dtNumber) return false;
    if (op >= tkEq && op <= tkGTE) {
        l.SetBoolVal(CompareNumbers(op, l.FDblVal, r.FDblVal));
        return true;
    }
    double d;
    if (NumericOp(op, l.FDblVal, r.FDblVal, d) != orOK) return false; // the rules name it
    l.FDblVal = d;
    return true;
}

} // namespace

bool TKELDExpression::FunctionOp(const TToken& ftk, TToken& ans, const TTokenStack& params)
{
    if (ftk.CallbackIndex < 0 || ftk.CallbackIndex >= static_cast<int>(FFunctionList.size()))
        return false;
    const TECFunctionRec& rec = FFunctionList[static_cast<size_t>(ftk.CallbackIndex)];
    if (rec.MinParams > 0 && params.Count() < rec.MinParams) {
        SetError("Too few parameters for " + rec.Name + "()");
        return false;
    }
    if (rec.MaxParams > 0 && params.Count() > rec.MaxParams) {
        SetError("Too many parameters for " + rec.Name + "()");
        return false;
    }
    if (!rec.Callback) return false;
    FFunctionError.clear();
    return rec.Callback(ans, params, FFunctionError, rec.UserData);
}

bool TKELDExpression::Execute()
{
    double d;
    return Calc(d);
}

bool TKELDExpression::Calc(double& d)
{
    d = 0;
    // A callback that evaluates this same engine again would recompile or reuse the values
    // under the running evaluation.
    if (FEvaluating) {
        SetError("Recursive Evaluation");
        return false;
    }
    if (!FCompiled && !Compile()) return false;
    FEvaluating = true;
    const bool bOK = Evaluate(d);
    FEvaluating = false;
    return bOK;
}

bool TKELDExpression::Evaluate(double& d)
{
    ClearError();
    if (FSlots.size() <= static_cast<size_t>(FStack.Count())) PrepareValues();
    if (UseNumericFastPath && FNumericOK) return EvaluateNumeric(d);
    return EvaluateFrom(0, 0, d);
}

bool TKELDExpression::EvaluateFrom(int nFrom, int nTop, double& d)
{
    TToken* const v = FSlots.data(); // values v[0] .. v[nTop - 1]
    bool bComplete = true;
    for (int nStep = nFrom; nStep < FStack.Count(); ++nStep) {
        const TToken* tk = FStack[static_cast<size_t>(nStep)];
        const TTokenID kind = tk->TypeID;
        if (kind == tkNumber || kind == tkBool || kind == tkText) {
            SetLiteral(v[nTop++], *tk);
        } else if (kind == tkVariable) {
            if (!GetVariable.Assigned()) {
                SetError("Unknown Identifier: " + tk->Text);
                bComplete = false;
                break;
            }
            TToken& var = v[nTop];
            ResetValue(var);
            var.TypeID = tkVariable;
            var.Text = tk->Text;
            if (!GetVariable(tk->Text, var)) {
                bComplete = false;
                break;
            }
            ++nTop;
        } else if (isOp(kind)) {
            const int nParams = OpParamCount(kind);
            if (nTop < nParams) {
                SetError("Incorrect number of parameters for " + tk->Text);
                bComplete = false;
                break;
            }
            // The answer takes the place of the (left) operand: the rules allow that.
            if (nParams == 1) {
                TToken& x = v[nTop - 1];
                if (ApplyUnaryOp(kind, x, x) == orOK) {
                    x.TypeID = tkNone;
                    if (!x.Text.empty()) x.Text.clear();
                } else {
                    --nTop; // no message; the missing value fails the evaluation later
                }
            } else {
                TToken& l = v[nTop - 2];
                const TToken& r = v[nTop - 1];
                if (!NumericFastPath(kind, l, r)) {
                    const int nCode = ApplyBinaryOp(kind, l, r, l);
                    if (nCode != orOK) {
                        SetError(OpResultText(nCode));
                        bComplete = false;
                        break;
                    }
                }
                --nTop;
                if (kind != tkAssign) {
                    l.TypeID = tkNone;
                    if (!l.Text.empty()) l.Text.clear();
                } else if (SetVariable.Assigned()) {
                    const std::string sName = l.Text;
                    SetVariable(sName, l);
                }
            }
        } else if (kind == tkFunction) {
            const int n = tk->ParamCount;
            if (n < 0 || nTop < n) {
                SetError("Incorrect number of parameters for " + tk->Text);
                bComplete = false;
                break;
            }
            TToken& ans = v[nTop];
            ResetValue(ans);
            FArgs.Clear();
            for (int i = nTop - n; i < nTop; ++i)
                FArgs.Push(&v[i]);
            const bool bOK = FunctionOp(*tk, ans, FArgs);
            FArgs.Clear();
            nTop -= n;
            if (bOK) {
                MoveValue(v[nTop], ans);
                ++nTop;
            } else {
                // A function that says why it failed ends the evaluation with its reason.
                if (!isError && !FFunctionError.empty()) SetError(FFunctionError);
                if (isError) {
                    bComplete = false;
                    break;
                }
            }
        }
    }

    bool bOK = false;
    if (bComplete && !isError && nTop == 1) {
        const TToken& res = v[0];
        if (res.DataType == dtNumber && !std::isfinite(res.FDblVal)) {
            // A value that is no finite number (from a callback or a literal such as 1e999)
            // never becomes an answer.
            SetError(std::isnan(res.FDblVal) ? OpResultText(orInvalidOperation)
                                             : OpResultText(orOverflow));
        } else {
            d = res.AsDouble();
            Answer.CopyFrom(res);
            bOK = true;
        }
    }
    if (!bOK && !isError) SetError("Invalid Expression");
    return bOK;
}

} // namespace ff
