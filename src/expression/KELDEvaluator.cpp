// The evaluator of TKELDExpression: runs the compiled sequence over a stack of values.
#include "expression/KELDExpression.h"

#include <cmath>

namespace ff {

void TKELDExpression::PrepareValues()
{
    // Each token of the sequence leaves at most one value behind and one answer is under
    // construction at a time, so the sequence's length plus one bounds the live values.
    const size_t nNeed = static_cast<size_t>(FStack.Count()) + 1;
    if (FValuePool.size() >= nNeed) return;
    FSpareValues.reserve(nNeed);
    while (FValuePool.size() < nNeed) {
        FValuePool.push_back(std::make_unique<TToken>());
        FSpareValues.push_back(FValuePool.back().get());
    }
    FValues.Reserve(nNeed);
    FArgs.Reserve(nNeed);
}

TToken* TKELDExpression::NewValue()
{
    if (FSpareValues.empty()) { // not reached while the bound above holds
        FValuePool.push_back(std::make_unique<TToken>());
        FSpareValues.push_back(FValuePool.back().get());
    }
    TToken* tk = FSpareValues.back();
    FSpareValues.pop_back();
    // A fresh token; clearing the strings keeps their buffers for the next use.
    tk->FDblVal = 0;
    tk->FBoolVal = false;
    tk->FTextVal.clear();
    tk->TypeID = tkNone;
    tk->DataType = dtUndef;
    tk->Precedence = 0;
    tk->ParamCount = 0;
    tk->CallbackIndex = -1;
    tk->Text.clear();
    return tk;
}

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
    PrepareValues();
    FValues.Clear();
    bool bComplete = true;
    for (const TToken* tk : FStack) {
        const TTokenID kind = tk->TypeID;
        if (kind == tkNumber || kind == tkBool || kind == tkText) {
            TToken* v = NewValue();
            v->CopyFrom(*tk);
            FValues.Push(v);
        } else if (kind == tkVariable) {
            if (!GetVariable.Assigned()) {
                SetError("Unknown Identifier: " + tk->Text);
                bComplete = false;
                break;
            }
            TToken* v = NewValue();
            v->TypeID = tkVariable;
            v->Text = tk->Text;
            if (!GetVariable(tk->Text, *v)) {
                FreeValue(v);
                bComplete = false;
                break;
            }
            FValues.Push(v);
        } else if (isOp(kind)) {
            if (FValues.Count() < OpParamCount(kind)) {
                SetError("Incorrect number of parameters for " + tk->Text);
                bComplete = false;
                break;
            }
            TToken* ans = NewValue();
            if (OpParamCount(kind) == 1) {
                TToken* x = FValues.Pop();
                if (ApplyUnaryOp(kind, *x, *ans) == orOK)
                    FValues.Push(ans);
                else
                    FreeValue(ans); // no message; the missing value fails the evaluation
                FreeValue(x);
            } else {
                TToken* r = FValues.Pop();
                TToken* l = FValues.Pop();
                const int nCode = ApplyBinaryOp(kind, *l, *r, *ans);
                FreeValue(l);
                FreeValue(r);
                if (nCode != orOK) {
                    FreeValue(ans);
                    SetError(OpResultText(nCode));
                    bComplete = false;
                    break;
                }
                FValues.Push(ans);
                if (kind == tkAssign && SetVariable.Assigned()) {
                    const std::string sName = ans->Text;
                    SetVariable(sName, *ans);
                }
            }
        } else if (kind == tkFunction) {
            const int n = tk->ParamCount;
            if (n < 0 || FValues.Count() < n) {
                SetError("Incorrect number of parameters for " + tk->Text);
                bComplete = false;
                break;
            }
            TToken* ans = NewValue();
            FArgs.Clear();
            const int nFirst = FValues.Count() - n;
            for (int i = nFirst; i < FValues.Count(); ++i)
                FArgs.Push(FValues[static_cast<size_t>(i)]);
            for (int i = 0; i < n; ++i)
                FValues.Pop();
            const bool bOK = FunctionOp(*tk, *ans, FArgs);
            for (TToken* a : FArgs)
                FreeValue(a);
            FArgs.Clear();
            if (bOK) {
                FValues.Push(ans);
            } else {
                FreeValue(ans);
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
    if (bComplete && !isError && FValues.Count() == 1) {
        const TToken* v = FValues[0];
        if (v->DataType == dtNumber && !std::isfinite(v->FDblVal)) {
            // A value that is no finite number (from a callback or a literal such as 1e999)
            // never becomes an answer.
            SetError(std::isnan(v->FDblVal) ? OpResultText(orInvalidOperation)
                                            : OpResultText(orOverflow));
        } else {
            d = v->AsDouble();
            Answer.CopyFrom(*v);
            bOK = true;
        }
    }
    if (!bOK && !isError) SetError("Invalid Expression");
    for (TToken* v : FValues)
        FreeValue(v);
    FValues.Clear();
    return bOK;
}

} // namespace ff
