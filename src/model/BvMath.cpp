#include "model/BvMath.h"

#include "base/VmAssert.h"
#include "model/VmBasis.h"

#include <charconv>
#include <cmath>

namespace vm {

namespace {

// ---- grammar ---------------------------------------------------------------------
//
//   1  E -> E + T         7  F -> S ^ F        14  K -> ( E )
//   2  E -> E - T         8  F -> S            15  K -> number
//   3  E -> T             9  S -> - G          16  K -> function ( E )
//   4  T -> T * F        10  S -> G
//   5  T -> T / F        11  G -> K !
//   6  T -> F            12  G -> K
//
// Parser states (items of the LR(0) automaton):
//   0  start                         14  T -> T / . F
//   1  Z -> E . end, E -> E . +- T   15  F -> S ^ . F
//   2  E -> T ., T -> T . */ F       16  G -> K ! .
//   3  T -> F .                      17  S -> - G .
//   4  F -> S . ^ F, F -> S .        18  K -> ( E . ), E -> E . +- T
//   5  S -> G .                      19  K -> function ( . E )
//   6  G -> K . !, G -> K .          20  E -> E + T ., T -> T . */ F
//   7  S -> - . G                    21  E -> E - T ., T -> T . */ F
//   8  K -> ( . E )                  22  T -> T * F .
//   9  K -> number .                 23  T -> T / F .
//  10  K -> function . ( E )         24  F -> S ^ F .
//  11  E -> E + . T                  25  K -> ( E ) .
//  12  E -> E - . T                  26  K -> function ( E . ), E -> E . +- T
//  13  T -> T * . F                  27  K -> function ( E ) .
//
// A state that can only reduce does so whatever the next token is; the error then
// shows in the next state that needs a particular token, so a missing operator is
// reported where an operator was expected.

constexpr int kStates = 28;
constexpr int kTokens = 12; // plus minus times divide power open close number function end bad !

// Action: > 0 shift to that state, < 0 reduce by that production, 0 error, kAccept.
constexpr std::int8_t kAccept = 100;
constexpr std::int8_t E = 0;
constexpr std::int8_t R(int production) {
    return static_cast<std::int8_t>(-production);
}

// clang-format off
constexpr std::int8_t kAction[kStates][kTokens] = {
    //  +      -      *      /      ^      (      )      num    func   end      bad    !
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 0
    {   11,    12,    E,     E,     E,     E,     E,     E,     E,     kAccept, E,     E     }, // 1
    {   R(3),  R(3),  13,    14,    R(3),  R(3),  R(3),  R(3),  R(3),  R(3),    R(3),  R(3)  }, // 2
    {   R(6),  R(6),  R(6),  R(6),  R(6),  R(6),  R(6),  R(6),  R(6),  R(6),    R(6),  R(6)  }, // 3
    {   R(8),  R(8),  R(8),  R(8),  15,    R(8),  R(8),  R(8),  R(8),  R(8),    R(8),  R(8)  }, // 4
    {   R(10), R(10), R(10), R(10), R(10), R(10), R(10), R(10), R(10), R(10),   R(10), R(10) }, // 5
    {   R(12), R(12), R(12), R(12), R(12), R(12), R(12), R(12), R(12), R(12),   R(12), 16    }, // 6
    {   E,     E,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 7
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 8
    {   R(15), R(15), R(15), R(15), R(15), R(15), R(15), R(15), R(15), R(15),   R(15), R(15) }, // 9
    {   E,     E,     E,     E,     E,     19,    E,     E,     E,     E,       E,     E     }, // 10
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 11
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 12
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 13
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 14
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 15
    {   R(11), R(11), R(11), R(11), R(11), R(11), R(11), R(11), R(11), R(11),   R(11), R(11) }, // 16
    {   R(9),  R(9),  R(9),  R(9),  R(9),  R(9),  R(9),  R(9),  R(9),  R(9),    R(9),  R(9)  }, // 17
    {   11,    12,    E,     E,     E,     E,     25,    E,     E,     E,       E,     E     }, // 18
    {   E,     7,     E,     E,     E,     8,     E,     9,     10,    E,       E,     E     }, // 19
    {   R(1),  R(1),  13,    14,    R(1),  R(1),  R(1),  R(1),  R(1),  R(1),    R(1),  R(1)  }, // 20
    {   R(2),  R(2),  13,    14,    R(2),  R(2),  R(2),  R(2),  R(2),  R(2),    R(2),  R(2)  }, // 21
    {   R(4),  R(4),  R(4),  R(4),  R(4),  R(4),  R(4),  R(4),  R(4),  R(4),    R(4),  R(4)  }, // 22
    {   R(5),  R(5),  R(5),  R(5),  R(5),  R(5),  R(5),  R(5),  R(5),  R(5),    R(5),  R(5)  }, // 23
    {   R(7),  R(7),  R(7),  R(7),  R(7),  R(7),  R(7),  R(7),  R(7),  R(7),    R(7),  R(7)  }, // 24
    {   R(14), R(14), R(14), R(14), R(14), R(14), R(14), R(14), R(14), R(14),   R(14), R(14) }, // 25
    {   11,    12,    E,     E,     E,     E,     27,    E,     E,     E,       E,     E     }, // 26
    {   R(16), R(16), R(16), R(16), R(16), R(16), R(16), R(16), R(16), R(16),   R(16), R(16) }, // 27
};

// The error code of a state whose action for the current token is an error.
constexpr std::uint8_t kStateError[kStates] = {
    3, 4, 0, 0, 0, 0, 0, 3, 3, 0, 5, 3, 3, 3, 3, 3, 0, 0, 6, 3, 0, 0, 0, 0, 0, 0, 6, 0,
};

// Nonterminals of the goto table.
enum : int { ntE, ntT, ntF, ntS, ntG, ntK, ntCount };

// Goto: the state after a reduction to a nonterminal from the uncovered state; 0 none.
constexpr std::uint8_t kGoto[kStates][ntCount] = {
    //  E   T   F   S  G   K
    {   1,  2,  3,  4, 5,  6 }, // 0
    {   0,  0,  0,  0, 0,  0 }, // 1
    {   0,  0,  0,  0, 0,  0 }, // 2
    {   0,  0,  0,  0, 0,  0 }, // 3
    {   0,  0,  0,  0, 0,  0 }, // 4
    {   0,  0,  0,  0, 0,  0 }, // 5
    {   0,  0,  0,  0, 0,  0 }, // 6
    {   0,  0,  0,  0, 17, 6 }, // 7
    {   18, 2,  3,  4, 5,  6 }, // 8
    {   0,  0,  0,  0, 0,  0 }, // 9
    {   0,  0,  0,  0, 0,  0 }, // 10
    {   0,  20, 3,  4, 5,  6 }, // 11
    {   0,  21, 3,  4, 5,  6 }, // 12
    {   0,  0,  22, 4, 5,  6 }, // 13
    {   0,  0,  23, 4, 5,  6 }, // 14
    {   0,  0,  24, 4, 5,  6 }, // 15
    {   0,  0,  0,  0, 0,  0 }, // 16
    {   0,  0,  0,  0, 0,  0 }, // 17
    {   0,  0,  0,  0, 0,  0 }, // 18
    {   26, 2,  3,  4, 5,  6 }, // 19
    {   0,  0,  0,  0, 0,  0 }, // 20
    {   0,  0,  0,  0, 0,  0 }, // 21
    {   0,  0,  0,  0, 0,  0 }, // 22
    {   0,  0,  0,  0, 0,  0 }, // 23
    {   0,  0,  0,  0, 0,  0 }, // 24
    {   0,  0,  0,  0, 0,  0 }, // 25
    {   0,  0,  0,  0, 0,  0 }, // 26
    {   0,  0,  0,  0, 0,  0 }, // 27
};
// clang-format on

struct TProduction {
    int length; // symbols on the right-hand side
    int lhs;
};

// Indexed by production number; 0 and 13 are unused.
constexpr TProduction kProductions[17] = {
    {0, ntE}, {3, ntE}, {3, ntE}, {1, ntE}, {3, ntT}, {3, ntT}, {1, ntT}, {3, ntF}, {1, ntF},
    {2, ntS}, {1, ntS}, {2, ntG}, {1, ntG}, {0, ntK}, {3, ntK}, {1, ntK}, {4, ntK},
};

// Searched in this order; a name matches when it starts with the function name, so
// SQRT has to come before SQR.
constexpr std::string_view kFunctions[] = {
    "ABS", "ATAN", "COS", "EXP", "LN", "NEG", "POS", "ROUND", "SIN", "SQRT", "SQR", "TRUNC",
};
enum : int {
    fnAbs,
    fnAtan,
    fnCos,
    fnExp,
    fnLn,
    fnNeg,
    fnPos,
    fnRound,
    fnSin,
    fnSqrt,
    fnSqr,
    fnTrunc
};

constexpr long double kExpLimit = 11356.0L; // e^11356 is near the end of the range
constexpr long double kTrigLimit = 9.0e18L;
constexpr long double kRoundLimit = 1.0e9L;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsNameChar(char c) {
    return IsLetter(c) || IsDigit(c) || c == '_';
}
bool InRange(long double x, long double limit) {
    return x >= -limit && x <= limit;
}

long double RoundHalfEven(long double x) {
    long double lower = std::floor(x);
    long double diff = x - lower;
    if (diff > 0.5L) return lower + 1;
    if (diff < 0.5L) return lower;
    return std::fmod(lower, 2.0L) == 0 ? lower : lower + 1;
}

// Decimal text (digits, one optional ".", optional exponent) to a value. A value
// beyond the range gives infinity (an error later), one too small gives 0.
long double ParseLiteral(const std::string& text, std::size_t mantissaLength,
                         bool negativeExponent) {
    long double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc()) return value;
    if (result.ec == std::errc::result_out_of_range && mantissaLength < text.size())
        return negativeExponent ? 0.0L : HUGE_VALL;
    return HUGE_VALL;
}

} // namespace

// ---- evaluator --------------------------------------------------------------------

void TBvMath::SetFormula(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(kMaxFormula)) text = text.substr(0, kMaxFormula);
    formula_ = UpperText(text);
}

std::string TBvMath::ErrorText(int code) {
    switch (code) {
    case errStackOverflow:
        return "Stapelspeicherüberlauf im Formelparser."_oem;
    case errExpressionExpected:
        return "Ausdruck erwartet.";
    case errOperatorExpected:
        return "Opeartor erwartet.";
    case errOpenParenExpected:
        return "Öffnende Klammer erwartet."_oem;
    case errOperatorOrCloseExpected:
        return "Operator oder schließende Klammer erwartet."_oem;
    default:
        return {};
    }
}

bool TBvMath::GetVariable(const std::string& /*name*/, long double& /*value*/) {
    return false;
}

bool TBvMath::ReadNumber() {
    const std::size_t length = formula_.size();
    const std::size_t start = tokenStart_ - 1;
    std::size_t i = start;
    int digits = 0;
    while (i < length && IsDigit(formula_[i]))
        ++i, ++digits;
    if (i < length && formula_[i] == '.') {
        ++i;
        while (i < length && IsDigit(formula_[i]))
            ++i, ++digits;
    }
    if (digits == 0) return false; // a lone "."
    const std::size_t mantissaEnd = i;
    bool negativeExponent = false;
    if (i < length && formula_[i] == 'E') {
        std::size_t j = i + 1;
        bool negative = false;
        if (j < length && (formula_[j] == '+' || formula_[j] == '-'))
            negative = formula_[j++] == '-';
        std::size_t k = j;
        while (k < length && k - j < 4 && IsDigit(formula_[k]))
            ++k;
        if (k > j) { // an exponent needs at least one digit
            i = k;
            negativeExponent = negative;
        }
    }
    std::string text = formula_.substr(start, i - start);
    std::size_t mantissaLength = mantissaEnd - start;
    if (text.front() == '.') {
        text.insert(text.begin(), '0');
        ++mantissaLength;
    }
    number_ = ParseLiteral(text, mantissaLength, negativeExponent);
    token_ = tkNumber;
    tokenLength_ = static_cast<std::uint16_t>(i - start);
    return true;
}

void TBvMath::ReadName() {
    const std::size_t start = tokenStart_ - 1;
    std::size_t i = start;
    while (i < formula_.size() && IsNameChar(formula_[i]))
        ++i;
    const std::string name = formula_.substr(start, i - start);
    if (IsLetter(name.front())) {
        for (std::size_t f = 0; f < std::size(kFunctions); ++f) {
            if (name.compare(0, kFunctions[f].size(), kFunctions[f]) == 0) {
                token_ = tkFunction;
                functionName_ = std::string(kFunctions[f]);
                functionIndex_ = static_cast<int>(f);
                tokenLength_ = static_cast<std::uint16_t>(kFunctions[f].size());
                return;
            }
        }
    }
    tokenLength_ = static_cast<std::uint16_t>(name.size());
    long double value = 0;
    if (GetVariable(name, value)) {
        token_ = tkNumber;
        number_ = value;
    } else {
        token_ = tkBad;
    }
}

void TBvMath::NextToken() {
    const std::size_t length = formula_.size();
    while (position_ <= length && formula_[position_ - 1] == ' ')
        ++position_;
    tokenStart_ = position_;
    tokenLength_ = 1;
    if (position_ > length) {
        token_ = tkEnd;
        tokenLength_ = 0;
        return;
    }
    const char c = formula_[position_ - 1];
    switch (c) {
    case '+':
        token_ = tkPlus;
        break;
    case '-':
        token_ = tkMinus;
        break;
    case '*':
        token_ = tkTimes;
        break;
    case '/':
        token_ = tkDivide;
        break;
    case '^':
        token_ = tkPower;
        break;
    case '(':
        token_ = tkOpen;
        break;
    case ')':
        token_ = tkClose;
        break;
    case '!':
        token_ = tkFactorial;
        break;
    default:
        if (IsDigit(c) || c == '.') {
            if (!ReadNumber()) token_ = tkBad;
        } else if (IsNameChar(c)) {
            ReadName();
        } else {
            token_ = tkBad;
        }
        break;
    }
    position_ = static_cast<std::uint16_t>(tokenStart_ + tokenLength_);
}

void TBvMath::SetSyntaxError(int code) {
    errorCode_ = code;
    errorPosition_ = tokenStart_;
}

bool TBvMath::Push(std::uint8_t state, long double value) {
    if (stackTop_ + 1 >= kStackSize) {
        SetSyntaxError(errStackOverflow);
        return false;
    }
    ++stackTop_;
    stack_[stackTop_].state = state;
    stack_[stackTop_].value = value;
    return true;
}

// Infinite and undefined values are math errors; the value goes on as 0.
long double TBvMath::Checked(long double value) {
    if (std::isfinite(value)) return value;
    mathError_ = true;
    return 0;
}

long double TBvMath::ApplyFunction(int function, long double x) {
    switch (function) {
    case fnAbs:
        return std::fabs(x);
    case fnAtan:
        return std::atan(x);
    case fnCos:
        if (InRange(x, kTrigLimit)) return std::cos(x);
        break;
    case fnExp:
        if (InRange(x, kExpLimit)) return std::exp(x);
        break;
    case fnLn:
        if (x > 0) return std::log(x);
        break;
    case fnNeg:
        return x < 0 ? 1 : 0;
    case fnPos:
        return x > 0 ? 1 : 0;
    case fnRound:
        if (InRange(x, kRoundLimit)) return RoundHalfEven(x);
        break;
    case fnSin:
        if (InRange(x, kTrigLimit)) return std::sin(x);
        break;
    case fnSqrt:
        if (x >= 0) return std::sqrt(x);
        break;
    case fnSqr:
        return x * x;
    case fnTrunc:
        if (InRange(x, kRoundLimit)) return std::trunc(x);
        break;
    default:
        break;
    }
    mathError_ = true;
    return 0;
}

void TBvMath::Reduce(int production) {
    const TProduction& p = kProductions[production];
    const int base = stackTop_ - p.length + 1;
    VM_ASSERT(p.length > 0 && base >= 1); // the parser tables never reduce an empty stack
    if (p.length == 0 || base < 1) {
        SetSyntaxError(errOperatorExpected);
        return;
    }
    auto v = [&](int i) { return stack_[base + i].value; };
    long double value = 0;
    switch (production) {
    case 1:
        value = v(0) + v(2);
        break;
    case 2:
        value = v(0) - v(2);
        break;
    case 4:
        value = v(0) * v(2);
        break;
    case 5:
        if (v(2) == 0)
            mathError_ = true;
        else
            value = v(0) / v(2);
        break;
    case 7: {
        const long double x = v(0), exponent = v(2);
        if (x <= 0) {
            mathError_ = true;
            break;
        }
        const long double logValue = exponent * std::log(x);
        if (!InRange(logValue, kExpLimit)) {
            mathError_ = true;
            break;
        }
        // Same as exp(logValue), but exact where the power is representable (9^2 is
        // 81, not 80.999...), which matters when the result is truncated.
        value = std::pow(x, exponent);
        break;
    }
    case 9:
        value = -v(1);
        break;
    case 11:
        if (!factorialShown_ && !quiet_) ShowMessage("Fehler in der Formel");
        factorialShown_ = true;
        mathError_ = true;
        break;
    case 14:
        value = v(1);
        break;
    case 16:
        value = ApplyFunction(static_cast<int>(v(0)), v(2));
        break;
    default:
        value = v(0);
        break; // 3, 6, 8, 10, 12, 15
    }
    stackTop_ = base - 1;
    const std::uint8_t next = kGoto[stack_[stackTop_].state][p.lhs];
    VM_ASSERT(next != 0); // every reduction has a goto entry in the tables
    if (next == 0) {
        SetSyntaxError(errOperatorExpected);
        return;
    }
    Push(next, Checked(value));
}

void TBvMath::Evaluate() {
    position_ = 1;
    stackTop_ = -1;
    mathError_ = false;
    factorialShown_ = false;
    errorCode_ = errNone;
    errorPosition_ = 0;
    resultValid_ = false;
    resultValue_ = 0;

    Push(0, 0);
    NextToken();
    while (errorCode_ == errNone) {
        const std::uint8_t state = stack_[stackTop_].state;
        const std::int8_t action = kAction[state][token_];
        if (action == kAccept) break;
        if (action > 0) {
            long double value = 0;
            if (token_ == tkNumber) value = number_;
            if (token_ == tkFunction) value = functionIndex_;
            if (!Push(static_cast<std::uint8_t>(action), value)) break;
            NextToken();
        } else if (action < 0) {
            Reduce(-action);
        } else {
            SetSyntaxError(kStateError[state]);
        }
    }

    if (errorCode_ == errNone && !mathError_) {
        resultValid_ = true;
        resultValue_ = stack_[stackTop_].value;
    }
    if (errorCode_ != errNone && errorProc_) errorProc_(*this, errorCode_);
}

// ---- the scoring code's evaluator -------------------------------------------------

TVmFormel::TVmFormel(long double t, long double sp, const long double v[5]) : t_(t), sp_(sp) {
    for (int i = 0; i < 5; ++i)
        v_[i] = v[i];
}

bool TVmFormel::GetVariable(const std::string& name, long double& value) {
    const std::string upper = UpperText(name);
    if (upper == "T") {
        value = t_;
        return true;
    }
    if (upper == "SP") {
        value = sp_;
        return true;
    }
    if (upper.size() == 2 && upper[0] == 'V' && upper[1] >= '1' && upper[1] <= '5') {
        value = v_[upper[1] - '1'];
        return true;
    }
    return false;
}

std::string FormulaErrorMessage(const TBvMath& math, int code) {
    return TBvMath::ErrorText(code) + "\r\n" + "Position: " + IntToText(math.ErrorPosition()) +
           "\r\n" + math.Formula();
}

long double EvaluateFormula(std::string_view formula, long double t, long double sp,
                            const long double v[5], bool& valid, bool report) {
    TVmFormel math(t, sp, v);
    math.SetFormula(formula);
    if (report)
        math.SetErrorProc([](TBvMath& m, int code) { ShowMessage(FormulaErrorMessage(m, code)); });
    else
        math.SetQuiet(true);
    math.Evaluate();
    valid = math.ResultValid();
    return math.ResultValue();
}

TFormulaFault CheckFormula(std::string_view formula) {
    // Syntax does not depend on the values, so any performance finds the same fault.
    const long double v[5] = {1, 1, 1, 1, 1};
    TVmFormel math(1, 0, v);
    math.SetFormula(formula);
    math.SetQuiet(true);
    math.Evaluate();
    if (math.ErrorCode() != TBvMath::errNone)
        return {FormulaErrorMessage(math, math.ErrorCode()), math.ErrorPosition()};
    if (math.FactorialUsed()) {
        const std::size_t at = math.Formula().find('!');
        return {"Fehler in der Formel", at == std::string::npos ? 0 : static_cast<int>(at) + 1};
    }
    return {};
}

} // namespace vm
