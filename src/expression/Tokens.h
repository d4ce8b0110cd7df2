// Tokens of the native expression language: a piece of an expression (literal, name, operator,
// parenthesis, comma, function name) that can also carry a value, and the token stack that the
// compiler and the evaluator work on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

enum TTokenID : int {
    tkNone = 0,
    tkVariable = 1,
    tkBool = 2,
    tkNumber = 3,
    tkText = 4,
    tkOp = 5,
    tkAdd = 6,
    tkSubtract = 7,
    tkMult = 8,
    tkDiv = 9,
    tkPow = 10,
    tkMod = 11,
    tkNeg = 12,
    tkPos = 13,
    tkAssign = 14,
    tkEq = 15,
    tkNE = 16,
    tkLT = 17,
    tkLTE = 18,
    tkGT = 19,
    tkGTE = 20,
    tkAnd = 21,
    tkOr = 22,
    tkXOR = 23,
    tkNot = 24,
    tkTrue = 25,
    tkFalse = 26,
    tkParenOpen = 27,
    tkParenClose = 28,
    tkFunction = 29,
    tkComma = 30,
};

enum TTokenDataType : int {
    dtUndef = 0,
    dtNumber = 1,
    dtBool = 2,
    dtText = 3,
};

// One token. Only the value field named by DataType is meaningful; setting a value of one kind
// leaves the other two value fields as they were.
class TToken
{
public:
    double FDblVal = 0;
    bool FBoolVal = false;
    std::string FTextVal;
    TTokenID TypeID = tkNone;
    TTokenDataType DataType = dtUndef;
    std::int32_t Precedence = 0;
    std::int32_t ParamCount = 0;
    std::int32_t CallbackIndex = -1;
    std::string Text;

    TToken() = default;
    TToken(std::string_view sText, TTokenID id) : TypeID(id), Text(sText) {}

    std::unique_ptr<TToken> Clone() const;
    // Copies kind, data type, precedence, text, the three values, ParamCount, CallbackIndex.
    void CopyFrom(const TToken& tk);
    // Copies the data type and the three value fields only.
    void CopyValFrom(const TToken& tk);

    void SetDblVal(double d)
    {
        FDblVal = d;
        DataType = dtNumber;
    }
    void SetBoolVal(bool b)
    {
        FBoolVal = b;
        DataType = dtBool;
    }
    void SetTextVal(std::string_view s)
    {
        FTextVal.assign(s.data(), s.size());
        DataType = dtText;
    }

    double AsDouble() const;
    bool AsBool() const;
    std::string AsText() const;

    // True for undefined, number and boolean values, and for numeric texts.
    bool CanCastDouble() const;
    bool CanCastBool() const { return true; }
    bool CanCastText() const { return true; }
};

// An ordered list of tokens used as a stack whose top is the last element. It never owns its
// tokens: they belong to the engine that made them.
class TTokenStack
{
public:
    void Push(TToken* tok) { FItems.push_back(tok); }
    // The last token, or nullptr when the stack is empty.
    TToken* Peek() const { return FItems.empty() ? nullptr : FItems.back(); }
    // Removes and returns the last token, or returns nullptr when the stack is empty.
    TToken* Pop()
    {
        if (FItems.empty()) return nullptr;
        TToken* tk = FItems.back();
        FItems.pop_back();
        return tk;
    }
    TToken* operator[](std::size_t i) const { return FItems[i]; }
    int Count() const { return static_cast<int>(FItems.size()); }
    bool Empty() const { return FItems.empty(); }
    void Clear() { FItems.clear(); } // keeps the capacity for reuse
    void Reserve(std::size_t n) { FItems.reserve(n); }
    void Insert(std::size_t i, TToken* tok)
    {
        FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(i), tok);
    }
    auto begin() const { return FItems.begin(); }
    auto end() const { return FItems.end(); }

private:
    std::vector<TToken*> FItems;
};

// Result codes of the operator rules.
enum TOpResult : int {
    orOK = 0,
    orDivideByZero = 1,     // the right operand of "/" or "%" is 0, or 0 raised to a negative power
    orInvalidTypecast = 2,  // the operand kinds do not fit the operator
    orNotHandled = 3,       // no rule for the combination
    orOverflow = 4,         // an arithmetic result too large for a double
    orInvalidOperation = 5, // an arithmetic result that is not a number (such as (0 - 8) ^ 0.5)
};

// The message of a result code: "OK", "Divide By Zero", "Invalid Typecast", "Not Handled", ...
const char* OpResultText(int nCode);

// The operator test of the compiler and the evaluator: kinds tkAdd to tkNot.
constexpr bool isOp(TTokenID t)
{
    return t >= tkAdd && t <= tkNot;
}

// Applies a binary operator to the left operand L and the right operand R, writing the result
// into ans. ans may be the same token as L or R. Returns a TOpResult; on failure ans is left
// unchanged.
int ApplyBinaryOp(TTokenID op, const TToken& L, const TToken& R, TToken& ans);

// Applies "neg", "pos" or "not" to X, writing the result into ans (which may be X).
int ApplyUnaryOp(TTokenID op, const TToken& X, TToken& ans);

} // namespace ff
