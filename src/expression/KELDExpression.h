// TKELDExpression: the native expression engine of a field. It compiles a field source into a
// sequence in reverse Polish order once and evaluates that sequence any number of times, with
// names resolved through the owner's variable callback.
#pragma once

#include "expression/Tokens.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ff {

// A function of the expression language. It fills ans from the arguments (first argument at
// index 0) and returns true on success; on failure it may leave a message in sError. pUserData
// is the pointer given to AddFunction, so that a function can reach its owner without globals.
using TECFunction = bool (*)(TToken& ans, const TTokenStack& params, std::string& sError,
                             void* pUserData);

struct TECFunctionRec
{
    std::string Name; // lower case
    TECFunction Callback = nullptr;
    int MinParams = 0; // 0: no lower limit
    int MaxParams = 0; // 0: no upper limit
    void* UserData = nullptr;
};

// Variable lookup and assignment callback: a plain function plus the object it belongs to.
// As GetVariable it fills tVal with the value of the named variable and returns true, or returns
// false for an unknown name; as SetVariable it receives the assigned name and value.
struct TECGetSetVariable
{
    using TFn = bool (*)(void* pObject, const std::string& sName, TToken& tVal);
    TFn Fn = nullptr;
    void* Object = nullptr;

    bool Assigned() const { return Fn != nullptr; }
    bool operator()(const std::string& sName, TToken& tVal) const
    {
        return Fn(Object, sName, tVal);
    }

    // Binds a member function bool T::Method(const std::string&, TToken&) of pObject:
    //   expr.GetVariable = TECGetSetVariable::Bind<&TCharacterSheet::GetExpressionVar>(this);
    template <auto Method, class T> static TECGetSetVariable Bind(T* pObject)
    {
        return {[](void* p, const std::string& sName, TToken& tVal) -> bool {
                    return (static_cast<T*>(p)->*Method)(sName, tVal);
                },
                pObject};
    }
};

class TKELDExpression
{
public:
    // Registers the twelve built-in functions (indexes 0 to 11 of the function list).
    TKELDExpression();
    ~TKELDExpression();
    TKELDExpression(const TKELDExpression&) = delete;
    TKELDExpression& operator=(const TKELDExpression&) = delete;

    // Stores the source text; the next evaluation compiles it unless Compile is called first.
    void SetExpression(std::string_view sEx);
    const std::string& Expression() const { return FExpression; }

    // ParseExpression, then BuildRPN. False with the message in ErrorMsg on failure.
    bool Compile();
    bool ParseExpression();
    bool SplitLexemes(std::string_view sExpression);
    bool IDLexemes();
    TTokenID IDLexeme(const TToken& tk) const;
    bool BuildRPN();

    // Evaluate the compiled sequence (compiling first when needed). On success Answer holds the
    // value; on failure ErrorMsg holds the message. Calc gives the value as a number (0 on
    // failure).
    bool Execute();
    bool Calc(double& d);

    // Appends a function; the name is stored in lower case and the first record of a name wins.
    void AddFunction(std::string_view sFunctionName, TECFunction f, int minParams, int maxParams,
                     void* pUserData = nullptr);
    // Index of the function with this name ignoring case, or -1.
    int FindFunction(std::string_view sFunctionName) const;
    // Calls the function of a function token with the arguments in params.
    bool FunctionOp(const TToken& ftk, TToken& ans, const TTokenStack& params);

    static bool isWhiteSpace(char c) { return static_cast<unsigned char>(c) <= 32; }
    bool isDelim(char c) const;
    static bool isOp(TTokenID t) { return ff::isOp(t); }
    static int Precedence(TTokenID t);
    static int OpParamCount(TTokenID t) { return t == tkNeg || t == tkPos || t == tkNot ? 1 : 2; }
    static bool CanFollow(TTokenID a, TTokenID b);

    // A new token owned by the engine until the next compilation or its destruction.
    TToken* NewToken(std::string_view sText, TTokenID id);

    void SetError(std::string_view s);
    void ClearError()
    {
        ErrorMsg.clear();
        isError = false;
    }

    // Debugging aids: one line "text (kind)" per lexeme; the compiled texts, each followed by a
    // blank, then a line break.
    std::string ReportLexemes() const;
    std::string ReportRPN() const;

    const TTokenStack& Lexemes() const { return FLexemes; }
    const TTokenStack& Stack() const { return FStack; }
    const std::vector<TECFunctionRec>& FunctionList() const { return FFunctionList; }
    const std::vector<std::string>& Log() const { return FLog; }
    const std::string& DelimChars() const;
    bool Compiled() const { return FCompiled; }

    bool isError = false;
    std::string ErrorMsg;
    TECGetSetVariable GetVariable;
    TECGetSetVariable SetVariable;
    // The value of the last successful evaluation. Its kind and value are the result; its
    // TypeID and Text mean something only after an assignment.
    TToken Answer;

    // Sequences made only of numbers, booleans, names, operators other than ":=" and the
    // numeric built-ins run on plain numbers, handing over to the token evaluator when a name
    // yields a text or no value. Both give the same results; false forces the token evaluator,
    // so that tests and the fuzzer can compare the two.
    bool UseNumericFastPath = true;

private:
    bool Evaluate(double& d);
    bool EvaluateFrom(int nFrom, int nTop, double& d);
    bool EvaluateNumeric(double& d);
    template <bool Checked> bool RunNumericSteps(double& d);
    void BuildNumericProgram();
    void PrepareValues();

    // One step of the numeric evaluator. A number followed by an operator or two numbers
    // followed by "if" share one step, so that most sources take only a few steps.
    struct TNumStep
    {
        std::uint8_t Op;    // TNumOp of KELDNumericEvaluator.cpp
        std::uint8_t Bools; // constants: bit 0 set when Num is a boolean, bit 1 for Num2
        std::int32_t N;     // argument count, or the name's index in FNumVars
        std::int32_t Src;   // index of the step's (last) token in FStack
        double Num;
        double Num2;
        const TToken* Tok; // the operator, function or name of the step
    };

    std::string FExpression;
    std::vector<std::unique_ptr<TToken>> FAllTokens; // tokens of the current compilation
    TTokenStack FLexemes;
    TTokenStack FStack;
    std::vector<std::string> FLog;
    std::vector<TECFunctionRec> FFunctionList;
    bool FCompiled = false;

    // The value stack of evaluations: one slot per token of the sequence plus one for an
    // answer under construction, reused by every evaluation, so that evaluating a numeric
    // expression does not touch the heap once it has grown to its size.
    std::vector<TToken> FSlots;
    TTokenStack FArgs;
    std::vector<TNumStep> FNumProgram;
    bool FNumericOK = false;
    bool FNumChecked = true;  // the numeric steps must count the values on the stack
    std::vector<double> FNum; // the numeric evaluator's stack
    std::vector<unsigned char> FIsBool;
    std::vector<TToken> FNumVars; // one token per name of the numeric program
    std::string FFunctionError;
    bool FEvaluating = false;
};

} // namespace ff
