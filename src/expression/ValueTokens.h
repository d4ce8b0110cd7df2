// Value tokens of the evaluator's stack, reused from one evaluation to the next.
#pragma once

#include "expression/Tokens.h"

namespace ff {

// Makes v a fresh token; clearing the strings keeps their buffers for the next use.
inline void ResetValue(TToken& v)
{
    v.FDblVal = 0;
    v.FBoolVal = false;
    if (!v.FTextVal.empty()) v.FTextVal.clear();
    v.TypeID = tkNone;
    v.DataType = dtUndef;
    v.Precedence = 0;
    v.ParamCount = 0;
    v.CallbackIndex = -1;
    if (!v.Text.empty()) v.Text.clear();
}

// Moves a function's answer down onto the slot of its first argument.
inline void MoveValue(TToken& dst, TToken& src)
{
    dst.FDblVal = src.FDblVal;
    dst.FBoolVal = src.FBoolVal;
    dst.TypeID = src.TypeID;
    dst.DataType = src.DataType;
    dst.Precedence = src.Precedence;
    dst.ParamCount = src.ParamCount;
    dst.CallbackIndex = src.CallbackIndex;
    if (!src.FTextVal.empty())
        dst.FTextVal.swap(src.FTextVal);
    else if (!dst.FTextVal.empty())
        dst.FTextVal.clear();
    if (!src.Text.empty())
        dst.Text.swap(src.Text);
    else if (!dst.Text.empty())
        dst.Text.clear();
}

} // namespace ff
