// The compiler of TKELDExpression: lexemes, their classification and the sequence in reverse
// Polish order.
#include "expression/KELDExpression.h"

#include "expression/BuiltinFunctions.h"
#include "support/Numbers.h"
#include "support/Text.h"

namespace ff {

namespace {

bool IsValueKind(TTokenID t)
{
    return t == tkVariable || t == tkBool || t == tkNumber || t == tkText;
}

bool IsComparison(TTokenID t)
{
    return t >= tkEq && t <= tkGTE;
}

} // namespace

namespace {
// Every sheet object owns an engine, so what all engines share is kept once.
const std::string& SharedDelimChars()
{
    static const std::string s(" =()+-*/%;:,'\"^<>&{}[]\t\n\v\r");
    return s;
}
constexpr size_t kUsualFunctionCount = 16; // the built-ins plus lookup and a few more
} // namespace

TKELDExpression::TKELDExpression()
{
    FFunctionList.reserve(kUsualFunctionCount);
    RegisterBuiltinFunctions(*this);
}

const std::string& TKELDExpression::DelimChars() const
{
    return SharedDelimChars();
}

TKELDExpression::~TKELDExpression() = default;

void TKELDExpression::SetExpression(std::string_view sEx)
{
    FExpression.assign(sEx.data(), sEx.size());
    FCompiled = false;
}

bool TKELDExpression::isDelim(char c) const
{
    return SharedDelimChars().find(c) != std::string::npos;
}

int TKELDExpression::Precedence(TTokenID t)
{
    switch (t) {
    case tkNeg:
    case tkPos:
    case tkNot:
        return 6;
    case tkPow:
    case tkMod:
        return 5;
    case tkMult:
    case tkDiv:
    case tkAnd:
    case tkOr:
    case tkXOR:
        return 4;
    case tkAdd:
    case tkSubtract:
        return 3;
    case tkEq:
    case tkNE:
    case tkLT:
    case tkLTE:
    case tkGT:
    case tkGTE:
        return 2;
    case tkAssign:
        return 1;
    default:
        return 0;
    }
}

bool TKELDExpression::CanFollow(TTokenID a, TTokenID b)
{
    if (a == tkNone || a == tkParenOpen)
        return IsValueKind(b) || b == tkNeg || b == tkPos || b == tkNot || b == tkParenOpen ||
               b == tkParenClose || b == tkFunction;
    if (IsValueKind(a) || a == tkParenClose) {
        switch (b) {
        case tkAdd:
        case tkSubtract:
        case tkMult:
        case tkDiv:
        case tkPow:
        case tkMod:
        case tkNeg:
        case tkPos:
        case tkAnd:
        case tkOr:
        case tkXOR:
        case tkParenClose:
        case tkComma:
            return true;
        case tkAssign:
            return a == tkVariable;
        default:
            return IsComparison(b);
        }
    }
    if (a == tkComma)
        return IsValueKind(b) || b == tkNeg || b == tkPos || b == tkNot || b == tkParenOpen ||
               b == tkFunction;
    return true; // after an operator or a function name
}

TToken* TKELDExpression::NewToken(std::string_view sText, TTokenID id)
{
    FAllTokens.push_back(std::make_unique<TToken>(sText, id));
    return FAllTokens.back().get();
}

void TKELDExpression::SetError(std::string_view s)
{
    isError = true;
    ErrorMsg.assign(s.data(), s.size());
}

bool TKELDExpression::Compile()
{
    FCompiled = false;
    FNumericOK = false;
    if (!ParseExpression() || !BuildRPN()) return false;
    BuildNumericProgram();
    FCompiled = true;
    return true;
}

bool TKELDExpression::ParseExpression()
{
    ClearError();
    return SplitLexemes(FExpression) && IDLexemes();
}

bool TKELDExpression::SplitLexemes(std::string_view sExpression)
{
    // A new compilation replaces everything the previous one made; nothing else refers to
    // those tokens, and keeping them would let a sheet that re-evaluates a failing source grow
    // without bound.
    FCompiled = false;
    FNumericOK = false;
    FNumProgram.clear();
    FNumVars.clear();
    FLexemes.Clear();
    FStack.Clear();
    FAllTokens.clear();
    FLog.clear();

    const std::string s = std::string(sExpression) + "   ";
    const size_t n = sExpression.size();
    std::string acc;
    char cQuote = 0;
    auto flush = [&] {
        if (!acc.empty()) {
            FLexemes.Push(NewToken(acc, tkNone));
            acc.clear();
        }
    };
    size_t i = 0;
    while (i < n) {
        const char c = s[i], d = s[i + 1];
        if (cQuote == 0 && (c == '\'' || c == '"')) {
            flush();
            cQuote = c;
            acc = c;
            i += 1;
        } else if (cQuote != 0) {
            if (c == '\\') {
                acc += d;
                i += 2;
            } else if (c != cQuote) {
                acc += c;
                i += 1;
            } else {
                acc += c;
                flush();
                cQuote = 0;
                i += 1;
            }
        } else if (isWhiteSpace(c) && acc.empty()) {
            i += 1;
        } else if (isDelim(c)) {
            flush();
            if ((c == '<' && (d == '>' || d == '=')) || (c == '>' && d == '=') ||
                (c == '=' && d == '=')) {
                FLexemes.Push(NewToken(s.substr(i, 2), tkNone));
                i += 2;
            } else if (c == ':' && d == '=') {
                if (s[i + 2] == '=') {
                    FLexemes.Push(NewToken(":==", tkNone));
                    i += 3;
                } else {
                    FLexemes.Push(NewToken(":=", tkNone));
                    i += 2;
                }
            } else {
                if (!isWhiteSpace(c)) FLexemes.Push(NewToken(std::string(1, c), tkNone));
                i += 1;
            }
        } else {
            acc += c;
            i += 1;
        }
    }
    flush();
    if (cQuote != 0) {
        SetError("Mismatched Quotes");
        return false;
    }
    return true;
}

TTokenID TKELDExpression::IDLexeme(const TToken& tk) const
{
    const std::string& t = tk.Text;
    if (!t.empty() && (t[0] == '\'' || t[0] == '"')) return tkText;
    struct TKeyword
    {
        const char* Text;
        TTokenID ID;
    };
    static const TKeyword keywords[] = {
        {"+", tkAdd},       {"-", tkSubtract},  {"*", tkMult},       {"/", tkDiv},
        {"^", tkPow},       {"%", tkMod},       {":=", tkAssign},    {":==", tkAssign},
        {"=", tkEq},        {"==", tkEq},       {"<>", tkNE},        {"<", tkLT},
        {"<=", tkLTE},      {">", tkGT},        {">=", tkGTE},       {"and", tkAnd},
        {"or", tkOr},       {"xor", tkXOR},     {"not", tkNot},      {"true", tkTrue},
        {"false", tkFalse}, {"(", tkParenOpen}, {")", tkParenClose}, {",", tkComma},
    };
    if (t.size() <= 5) {
        const std::string sLower = LowerCase(t);
        for (const auto& k : keywords)
            if (sLower == k.Text) return k.ID;
    }
    if (IsNumericText(t)) return tkNumber;
    return tkVariable;
}

bool TKELDExpression::IDLexemes()
{
    TTokenID prevKind = tkNone;
    std::string prevText;
    int nDepth = 0;
    const int nCount = FLexemes.Count();
    for (int i = 0; i < nCount; ++i) {
        TToken& tk = *FLexemes[i];
        if (i > 0) {
            prevKind = FLexemes[i - 1]->TypeID;
            prevText = FLexemes[i - 1]->Text;
        }
        tk.TypeID = IDLexeme(tk);
        switch (tk.TypeID) {
        case tkNumber:
            tk.SetDblVal(TextToNumber(tk.Text));
            break;
        case tkTrue:
        case tkFalse:
            tk.SetBoolVal(tk.TypeID == tkTrue);
            tk.TypeID = tkBool;
            break;
        case tkText:
            tk.SetTextVal(std::string_view(tk.Text).substr(1, tk.Text.size() - 2));
            break;
        case tkVariable:
            if (i + 1 < nCount && FLexemes[i + 1]->Text == "(") {
                tk.TypeID = tkFunction;
                tk.Text = LowerCase(tk.Text);
                tk.CallbackIndex = FindFunction(tk.Text);
                if (tk.CallbackIndex < 0) {
                    SetError("Unknown function " + tk.Text + "()");
                    return false;
                }
            }
            break;
        case tkSubtract:
        case tkAdd:
            if (prevKind == tkNone || prevKind == tkParenOpen || prevKind == tkComma ||
                isOp(prevKind)) {
                const bool bNeg = tk.TypeID == tkSubtract;
                tk.TypeID = bNeg ? tkNeg : tkPos;
                tk.Text = bNeg ? "neg" : "pos";
            }
            break;
        default:
            break;
        }
        if (!CanFollow(prevKind, tk.TypeID)) {
            SetError("invalid expression near " + prevText + " " + tk.Text);
            return false;
        }
        tk.Precedence = Precedence(tk.TypeID);
        if (tk.TypeID == tkParenOpen) ++nDepth;
        if (tk.TypeID == tkParenClose) {
            // A closing parenthesis without an open one would otherwise slip through when a
            // later one balances the count, as in 1) + (2.
            if (--nDepth < 0) {
                SetError("mismatched parenthesis");
                return false;
            }
            if (prevKind == tkParenOpen && (i < 2 || FLexemes[i - 2]->TypeID != tkFunction)) {
                SetError("Bad Expression near " + prevText + " )");
                return false;
            }
        }
    }
    if (nDepth != 0) {
        SetError("mismatched parenthesis");
        return false;
    }
    return true;
}

bool TKELDExpression::BuildRPN()
{
    ClearError();
    // Only Compile makes a built sequence the one that evaluations run.
    FCompiled = false;
    FNumericOK = false;
    FStack.Clear();
    TTokenStack ops, counts;
    TTokenID prevKind = tkNone;
    const int nCount = FLexemes.Count();
    for (int i = 0; i < nCount; ++i) {
        TToken* tk = FLexemes[i];
        const TTokenID kind = tk->TypeID;
        if (i > 0) prevKind = FLexemes[i - 1]->TypeID;
        if (!CanFollow(prevKind, kind)) {
            SetError("invalid expression near " + tk->Text);
            return false;
        }
        if (kind != tkParenClose && !counts.Empty() && counts.Peek()->TypeID == tkParenOpen) {
            TToken* one = NewToken("1", tkNumber);
            one->SetDblVal(1);
            counts.Push(one);
        }
        if (IsValueKind(kind)) {
            FStack.Push(tk);
            FLog.push_back("output " + tk->Text);
        } else if (kind == tkFunction) {
            ops.Push(tk);
            counts.Push(tk);
        } else if (kind == tkComma) {
            if (!counts.Empty() && counts.Peek()->TypeID == tkNumber)
                counts.Peek()->SetDblVal(counts.Peek()->FDblVal + 1);
            while (!ops.Empty() && ops.Peek()->TypeID != tkParenOpen) {
                FLog.push_back("move " + ops.Peek()->Text);
                FStack.Push(ops.Pop());
            }
        } else if (isOp(kind)) {
            while (!ops.Empty() && isOp(ops.Peek()->TypeID) &&
                   ops.Peek()->Precedence > tk->Precedence) {
                FLog.push_back("move " + ops.Peek()->Text);
                FStack.Push(ops.Pop());
            }
            ops.Push(tk);
        } else if (kind == tkParenOpen) {
            ops.Push(tk);
            counts.Push(tk);
        } else if (kind == tkParenClose) {
            if (!counts.Empty()) {
                int nArgs = 0;
                while (TToken* c = counts.Pop()) {
                    if (c->TypeID == tkParenOpen) break;
                    if (c->TypeID == tkNumber) nArgs = static_cast<int>(c->FDblVal);
                }
                if (!counts.Empty() && counts.Peek()->TypeID == tkFunction) {
                    TToken* f = counts.Pop();
                    f->ParamCount = nArgs;
                    if (f->CallbackIndex < 0 ||
                        f->CallbackIndex >= static_cast<int>(FFunctionList.size())) {
                        SetError("Unknown function " + f->Text + "()");
                        return false;
                    }
                    const TECFunctionRec& rec =
                        FFunctionList[static_cast<size_t>(f->CallbackIndex)];
                    if (rec.MinParams > 0 && nArgs < rec.MinParams) {
                        SetError("too few parameters for function " + f->Text);
                        return false;
                    }
                    if (rec.MaxParams > 0 && nArgs > rec.MaxParams) {
                        SetError("too many parameters for function " + f->Text);
                        return false;
                    }
                }
            }
            if (!ops.Empty()) {
                while (!ops.Empty() && ops.Peek()->TypeID != tkParenOpen) {
                    FLog.push_back("move " + ops.Peek()->Text);
                    FStack.Push(ops.Pop());
                }
                ops.Pop(); // the "("
                if (!ops.Empty() && ops.Peek()->TypeID == tkFunction) {
                    FLog.push_back("call " + ops.Peek()->Text);
                    FStack.Push(ops.Pop());
                }
            }
        }
    }
    while (!ops.Empty()) {
        FLog.push_back("flush " + ops.Peek()->Text);
        FStack.Push(ops.Pop());
    }
    return !isError;
}

void TKELDExpression::AddFunction(std::string_view sFunctionName, TECFunction f, int minParams,
                                  int maxParams, void* pUserData)
{
    FFunctionList.push_back({LowerCase(sFunctionName), f, minParams, maxParams, pUserData});
}

int TKELDExpression::FindFunction(std::string_view sFunctionName) const
{
    const std::string sLower = LowerCase(sFunctionName);
    for (size_t i = 0; i < FFunctionList.size(); ++i)
        if (FFunctionList[i].Name == sLower) return static_cast<int>(i);
    return -1;
}

std::string TKELDExpression::ReportLexemes() const
{
    std::string s;
    for (const TToken* tk : FLexemes)
        s += tk->Text + " (" + std::to_string(static_cast<int>(tk->TypeID)) + ")\n";
    return s;
}

std::string TKELDExpression::ReportRPN() const
{
    std::string s;
    for (const TToken* tk : FStack)
        s += tk->Text + " ";
    s += "\n";
    return s;
}

} // namespace ff
