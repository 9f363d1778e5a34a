// Formula evaluator: a tokenizer and a table-driven shift-reduce parser over a small
// expression grammar with functions, evaluated in extended precision. Named variables
// come from the overridable GetVariable; the scoring code derives TVmFormel, which
// answers T, SP and V1..V5.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vm {

class TBvMath {
public:
    // Called at the end of Evaluate with the error code when it is not 0.
    using TErrorProc = std::function<void(TBvMath& math, int code)>;

    static constexpr int kMaxFormula = 255; // longer text is cut
    static constexpr int kStackSize = 15;

    // Error codes of syntax errors (0 = none).
    enum : int {
        errNone = 0,
        errStackOverflow = 1,
        errExpressionExpected = 3,
        errOperatorExpected = 4,
        errOpenParenExpected = 5,
        errOperatorOrCloseExpected = 6,
    };

    TBvMath() = default;
    virtual ~TBvMath() = default;
    TBvMath(const TBvMath&) = default;
    TBvMath& operator=(const TBvMath&) = default;

    // Stores the text upper-cased, cut to kMaxFormula characters.
    void SetFormula(std::string_view text);
    const std::string& Formula() const { return formula_; }
    void SetErrorProc(TErrorProc proc) { errorProc_ = std::move(proc); }
    // Quiet: no message of its own for a factorial, which the evaluator cannot compute;
    // the caller reports it (FactorialUsed) where it reports syntax errors.
    void SetQuiet(bool quiet) { quiet_ = quiet; }
    bool FactorialUsed() const { return factorialShown_; }

    // Parses and evaluates the formula. Afterwards the result is valid when there was
    // neither a syntax error nor a math error (a division by 0, a function argument out
    // of range, an infinite or undefined value); an invalid result has the value 0.
    void Evaluate();

    bool ResultValid() const { return resultValid_; }
    long double ResultValue() const { return resultValue_; }
    int ErrorCode() const { return errorCode_; }
    // 1-based position of the token at which a syntax error was found.
    int ErrorPosition() const { return errorPosition_; }
    bool MathError() const { return mathError_; }

    // The message of an error code (code page 850); empty for an unknown code.
    static std::string ErrorText(int code);

    // Value of a named variable; the name is upper case. The base knows none.
    virtual bool GetVariable(const std::string& name, long double& value);

private:
    enum TToken : std::uint8_t {
        tkPlus,
        tkMinus,
        tkTimes,
        tkDivide,
        tkPower,
        tkOpen,
        tkClose,
        tkNumber,
        tkFunction,
        tkEnd,
        tkBad,
        tkFactorial,
        tkCount
    };

    struct TStackEntry {
        std::uint8_t state = 0;
        long double value = 0;
    };

    void NextToken();
    bool ReadNumber();
    void ReadName();
    bool Push(std::uint8_t state, long double value);
    void Reduce(int production);
    long double ApplyFunction(int function, long double x);
    long double Checked(long double value);
    void SetSyntaxError(int code);

    std::string formula_;
    std::uint16_t position_ = 1; // next character, 1-based
    std::uint16_t tokenStart_ = 1;
    std::uint16_t tokenLength_ = 0;
    TToken token_ = tkEnd;
    std::string functionName_; // name of the last function token
    int functionIndex_ = 0;
    long double number_ = 0; // value of the last number token

    TStackEntry stack_[kStackSize];
    int stackTop_ = -1; // index of the top entry, -1 when empty

    bool mathError_ = false;
    bool factorialShown_ = false;
    bool quiet_ = false;
    int errorCode_ = errNone;
    int errorPosition_ = 0;
    bool resultValid_ = false;
    long double resultValue_ = 0;
    TErrorProc errorProc_;
};

// The evaluator of the scoring code: T is the time in hundredths of a second, SP the
// penalty (negative for a status code), V1..V5 the discipline's variables.
class TVmFormel : public TBvMath {
public:
    TVmFormel(long double t, long double sp, const long double v[5]);
    bool GetVariable(const std::string& name, long double& value) override;

private:
    long double t_;
    long double sp_;
    long double v_[5];
};

// The message the scoring code shows for a syntax error: the error text, "Position: "
// with the error position and the formula, separated by "\r\n".
std::string FormulaErrorMessage(const TBvMath& math, int code);

// Evaluates a discipline formula as the scoring code does: one TVmFormel, a syntax
// error shown as one message (none with report = false), math errors silent. Returns
// the value, or 0 with valid = false when the formula cannot be evaluated.
long double EvaluateFormula(std::string_view formula, long double t, long double sp,
                            const long double v[5], bool& valid, bool report = true);

// What is wrong with a formula whatever the performance: a syntax error or a factorial.
// message is what the scoring would show (empty when the formula is sound); position
// is the 1-based place of the fault in the upper-cased text, 0 when none.
struct TFormulaFault {
    std::string message;
    int position = 0;
    explicit operator bool() const { return !message.empty(); }
};
TFormulaFault CheckFormula(std::string_view formula);

} // namespace vm
