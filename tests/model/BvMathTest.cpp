#include "model/BvMath.h"
#include "model/VmBasis.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

using vm::operator""_oem;
using vm::TBvMath;
using vm::TVmFormel;

const long double kVars[5] = {140000, 100, 200, 300, 400};

struct TCase {
    const char* formula;
    long double value; // expected value when valid
    bool valid;
    int code;         // syntax error code, 0 for none
    int position = 0; // error position, checked when code != 0 and position != 0
};

// T = 6000, SP = 2, V1..V5 = kVars.
const TCase kCases[] = {
    // variables, literals, case
    {"V1 - T*10", 80000, true, 0},
    {"v1 - t*10", 80000, true, 0},
    {"SP + V2 + V5", 502, true, 0},
    {".5*2", 1, true, 0},
    {"5.*2", 10, true, 0},
    {"1.5E3", 1500, true, 0},
    {"1e+2 + 25E-1", 102.5L, true, 0},
    {"1E-9999", 0, true, 0},
    {"  7  ", 7, true, 0},
    // precedence and associativity
    {"1+2*3", 7, true, 0},
    {"(1+2)*3", 9, true, 0},
    {"10-4-3", 3, true, 0},
    {"100/10/5", 2, true, 0},
    {"2*3^2", 18, true, 0},
    {"2^3^2", 512, true, 0},
    {"9^2", 81, true, 0},
    {"10^3", 1000, true, 0},
    {"2^-1", 0.5L, true, 0},
    {"-3+5", 2, true, 0},
    {"2*-3", -6, true, 0},
    {"-(2-5)", 3, true, 0},
    {"((((((((((((1))))))))))))", 1, true, 0}, // 12 levels still fit the stack
    // functions
    {"ABS(-3)", 3, true, 0},
    {"ATAN(1)*4", 3.14159265358979323846L, true, 0},
    {"COS(0) + SIN(0)", 1, true, 0},
    {"LN(EXP(2))", 2, true, 0},
    {"NEG(-5) + 10*NEG(0) + 100*POS(2) + 1000*POS(0)", 101, true, 0},
    {"ROUND(2.5) + 10*ROUND(3.5)", 42, true, 0},
    {"ROUND(-2.5)", -2, true, 0},
    {"ROUND(2.6)", 3, true, 0},
    {"TRUNC(-2.7)", -2, true, 0},
    {"SQRT(16) + SQR(3)", 13, true, 0},
    {"sqrt(t/60)", 10, true, 0},
    // math errors: invalid, no syntax error
    {"LN(0)", 0, false, 0},
    {"-2^2", 0, false, 0},
    {"0^2", 0, false, 0},
    {"2^20000", 0, false, 0},
    {"1/0", 0, false, 0},
    {"1/(T-6000)", 0, false, 0},
    {"SQRT(-1)", 0, false, 0},
    {"EXP(11357)", 0, false, 0},
    {"COS(1E19)", 0, false, 0},
    {"ROUND(1E10)", 0, false, 0},
    {"TRUNC(-2E9)", 0, false, 0},
    {"1E9999", 0, false, 0},
    {"1E4000*1E4000", 0, false, 0},
    // syntax errors
    {"(T", 0, false, 6, 3},
    {"(1 2)", 0, false, 6, 4},
    {"SQRT T", 0, false, 5, 6},
    {"COST", 0, false, 5, 4},
    {"SQRTX(4)", 0, false, 5, 5},
    {"X+1", 0, false, 3, 1},
    {"V6", 0, false, 3, 1},
    {"", 0, false, 3, 1},
    {"1+", 0, false, 3, 3},
    {"+3", 0, false, 3, 1},
    {"--3", 0, false, 3, 2},
    {"1 2", 0, false, 4, 3},
    {"3)", 0, false, 4, 2},
    {"1 # 2", 0, false, 4, 3},
    {"2E", 0, false, 4, 2},
    {"1E12345", 0, false, 4, 7},
    {"((((((((((((((((1))))))))))))))))", 0, false, 1, 15}, // sixteen "("
    {"(((((((((((((1)))))))))))))", 0, false, 1, 15},       // thirteen
    {"1 / 0 + X", 0, false, 3, 9}, // a math error does not hide a later syntax error
};

TEST(BvMath, FormulaTable) {
    for (const TCase& c : kCases) {
        SCOPED_TRACE(c.formula);
        TVmFormel math(6000, 2, kVars);
        math.SetFormula(c.formula);
        math.Evaluate();
        EXPECT_EQ(math.ResultValid(), c.valid);
        EXPECT_EQ(math.ErrorCode(), c.code);
        if (c.code != 0 && c.position != 0) {
            EXPECT_EQ(math.ErrorPosition(), c.position);
        }
        if (c.valid) {
            EXPECT_NEAR(static_cast<double>(math.ResultValue()), static_cast<double>(c.value),
                        1e-12 * std::max(1.0, std::fabs(static_cast<double>(c.value))));
        } else {
            EXPECT_EQ(math.ResultValue(), 0.0L);
            if (c.code == 0) {
                EXPECT_TRUE(math.MathError());
            }
        }
    }
}

TEST(BvMath, ExactPowersAndExtendedPrecision) {
    // Points are truncated to integers, so integral powers must come out exact.
    for (const char* f : {"2^3^2", "9^1", "9^2", "10^3", "7^5"}) {
        TBvMath math;
        math.SetFormula(f);
        math.Evaluate();
        ASSERT_TRUE(math.ResultValid()) << f;
        EXPECT_EQ(math.ResultValue(), std::trunc(math.ResultValue())) << f;
    }
    // 1 + 2^-60 is lost in double but kept in 80-bit extended.
    TBvMath math;
    math.SetFormula("(1 + 2^-60) - 1");
    math.Evaluate();
    ASSERT_TRUE(math.ResultValid());
    EXPECT_GT(math.ResultValue(), 0.0L);
}

TEST(BvMath, FormulaIsUpperCasedAndCut) {
    TBvMath math;
    math.SetFormula("sqrt(ä)"_oem);
    EXPECT_EQ(math.Formula(), "SQRT(ä)"_oem);

    std::string longText;
    for (int i = 0; i < 150; ++i)
        longText += "1+"; // 300 characters
    math.SetFormula(longText);
    EXPECT_EQ(math.Formula().size(), 255u);
    math.Evaluate();
    ASSERT_TRUE(math.ResultValid()); // the cut text ends in "1"
    EXPECT_EQ(math.ResultValue(), 128.0L);
}

TEST(BvMath, BaseKnowsNoVariablesAndDerivedSeesUpperNames) {
    TBvMath base;
    base.SetFormula("T");
    base.Evaluate();
    EXPECT_EQ(base.ErrorCode(), TBvMath::errExpressionExpected);

    struct TRecorder : TBvMath {
        std::vector<std::string> names;
        bool GetVariable(const std::string& name, long double& value) override {
            names.push_back(name);
            value = 3;
            return name == "SPEED_2";
        }
    } rec;
    rec.SetFormula("speed_2 * 2 + SINX");
    rec.Evaluate();
    EXPECT_EQ(rec.ErrorCode(), TBvMath::errOpenParenExpected); // SINX is SIN, then X
    EXPECT_EQ(rec.names, (std::vector<std::string>{"SPEED_2", "X"}));

    TVmFormel formel(1, 2, kVars);
    long double v = 0;
    EXPECT_TRUE(formel.GetVariable("v3", v));
    EXPECT_EQ(v, 200.0L);
    EXPECT_FALSE(formel.GetVariable("V0", v));
    EXPECT_FALSE(formel.GetVariable("TT", v));
}

TEST(BvMath, ErrorProcCalledOnceForSyntaxErrorsOnly) {
    std::vector<int> codes;
    TBvMath math;
    math.SetErrorProc([&](TBvMath& m, int code) {
        EXPECT_EQ(&m, &math);
        codes.push_back(code);
    });
    math.SetFormula("1/0");
    math.Evaluate();
    EXPECT_TRUE(codes.empty());
    math.SetFormula("(1");
    math.Evaluate();
    EXPECT_EQ(codes, std::vector<int>{6});
    math.SetFormula("2*3"); // state is reset between runs
    math.Evaluate();
    EXPECT_TRUE(math.ResultValid());
    EXPECT_EQ(math.ResultValue(), 6.0L);
    EXPECT_EQ(math.ErrorCode(), 0);
    EXPECT_EQ(codes.size(), 1u);
}

TEST(BvMath, ErrorTexts) {
    EXPECT_EQ(TBvMath::ErrorText(1), "Stapelspeicherüberlauf im Formelparser."_oem);
    EXPECT_EQ(TBvMath::ErrorText(3), "Ausdruck erwartet.");
    EXPECT_EQ(TBvMath::ErrorText(4), "Opeartor erwartet.");
    EXPECT_EQ(TBvMath::ErrorText(5), "Öffnende Klammer erwartet."_oem);
    EXPECT_EQ(TBvMath::ErrorText(6), "Operator oder schließende Klammer erwartet."_oem);
    EXPECT_EQ(TBvMath::ErrorText(2), "");
}

TEST(BvMath, ScoringEvaluationMessages) {
    vm::TMessageCapture capture;
    bool valid = true;

    EXPECT_EQ(vm::EvaluateFormula("100000 - 10*T - 100*SP", 1000, 5, kVars, valid), 89500.0L);
    EXPECT_TRUE(valid);
    EXPECT_TRUE(capture.Messages().empty());

    EXPECT_EQ(vm::EvaluateFormula("(t", 1000, 0, kVars, valid), 0.0L);
    EXPECT_FALSE(valid);
    ASSERT_EQ(capture.Messages().size(), 1u);
    EXPECT_EQ(capture.Messages()[0],
              "Operator oder schließende Klammer erwartet.\r\nPosition: 3\r\n(T"_oem);
    capture.Clear();

    EXPECT_EQ(vm::EvaluateFormula("LN(0)", 1000, 0, kVars, valid), 0.0L);
    EXPECT_FALSE(valid);
    EXPECT_TRUE(capture.Messages().empty()); // math errors are silent

    EXPECT_EQ(vm::EvaluateFormula("T! + T!", 1000, 0, kVars, valid), 0.0L);
    EXPECT_FALSE(valid);
    EXPECT_EQ(capture.Messages(), std::vector<std::string>{"Fehler in der Formel"});
}

// The check the discipline dialog runs: what the scoring would say, where, and silently.
TEST(BvMath, CheckFormulaFindsTheFaultAndItsPlace) {
    vm::TMessageCapture capture;
    struct Case {
        const char* formula;
        std::string message; // empty: sound
        int position;
    };
    const Case cases[] = {
        {"V1 - T*10", "", 0},
        {"1/0", "", 0}, // a math error depends on the values: no fault of the text
        {"(T", "Operator oder schließende Klammer erwartet.\r\nPosition: 3\r\n(T"_oem, 3},
        {"T + X", "Ausdruck erwartet.\r\nPosition: 5\r\nT + X", 5},
        {"", "Ausdruck erwartet.\r\nPosition: 1\r\n", 1},
        {"100 - T!", "Fehler in der Formel", 8},
    };
    for (const Case& k : cases) {
        const vm::TFormulaFault f = vm::CheckFormula(k.formula);
        EXPECT_EQ(f.message, k.message) << k.formula;
        EXPECT_EQ(f.position, k.position) << k.formula;
        EXPECT_EQ(static_cast<bool>(f), !k.message.empty()) << k.formula;
    }
    EXPECT_TRUE(capture.Messages().empty());
}

// Random text must never crash, hang or give an inconsistent result.
TEST(BvMath, RandomInputIsSafe) {
    vm::TMessageCapture capture;
    const std::string alphabet = "0123456789.E+-*/^()! TSPV1X_ABSQRLNCOU#";
    std::mt19937 rng(12345);
    for (int n = 0; n < 20000; ++n) {
        std::string text(rng() % 40, ' ');
        for (char& ch : text)
            ch = alphabet[rng() % alphabet.size()];
        TVmFormel math(6000, 2, kVars);
        math.SetFormula(text);
        math.Evaluate();
        SCOPED_TRACE(text);
        const int code = math.ErrorCode();
        ASSERT_TRUE(code == 0 || code == 1 || (code >= 3 && code <= 6));
        if (code != 0) {
            ASSERT_GE(math.ErrorPosition(), 1);
            ASSERT_LE(math.ErrorPosition(), static_cast<int>(text.size()) + 1);
        }
        if (math.ResultValid()) {
            ASSERT_EQ(code, 0);
            ASSERT_FALSE(math.MathError());
            ASSERT_TRUE(std::isfinite(math.ResultValue()));
        } else {
            ASSERT_EQ(math.ResultValue(), 0.0L);
        }
    }
}

} // namespace
