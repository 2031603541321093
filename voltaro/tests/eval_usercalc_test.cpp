// The user calculations: the variables T1 ... dR, int_dt over the cursor block, and
// the texts of the two results.

#include "voltaro/graph/UserCalculations.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace voltaro {
namespace {

// T = 0 .. 60 s in steps of 1 s, constant I = 2 A, U rising from 12 V.
SampleTable constantCurrentBlock() {
    SampleTable block("Session1", "Charge");
    for (int t = 0; t <= 60; ++t)
        block.append(static_cast<float>(t), 12.0f + 0.01f * static_cast<float>(t), 2.0f);
    return block;
}

// A context as a recalculation builds it, with T1, T2 and dT set by hand.
struct IntegralCase {
    const char* text;
    double t1;
    double t2;
    int code;
    double value;
    const char* errorName;
};

std::ostream& operator<<(std::ostream& os, const IntegralCase& c) {
    return os << '"' << c.text << '"';
}

class IntegralTest : public ::testing::TestWithParam<IntegralCase> {};

TEST_P(IntegralTest, Evaluates) {
    const IntegralCase& c = GetParam();
    const SampleTable block = constantCurrentBlock();
    UserCalculations calc;
    calc.setCursorBlock(&block);
    ExpressionContext context;
    context.addResolver(&calc);
    ASSERT_TRUE(context.SetVariable("T1", c.t1));
    ASSERT_TRUE(context.SetVariable("T2", c.t2));
    ASSERT_TRUE(context.SetVariable("dT", c.t2 - c.t1));
    const EvalResult r = context.Evaluate(c.text);
    EXPECT_EQ(r.code, c.code) << c.text << ": " << formatExpressionError(context.error());
    if (c.code == kExprOk)
        EXPECT_NEAR(r.value, c.value, 1e-9 * std::max(1.0, std::fabs(c.value))) << c.text;
    else
        EXPECT_EQ(context.error().name, c.errorName) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    UserCalc, IntegralTest,
    ::testing::Values(IntegralCase{"int_dt(I, T1, T2)", 0, 60, 0, 120, ""},
                      IntegralCase{"int_dt(I, T2, T1)", 0, 60, 0, -120, ""},
                      IntegralCase{"int_dt(I)", 0, 60, 0, 120, ""},
                      IntegralCase{"int_dt( I , , )", 0, 60, 0, 120, ""},
                      IntegralCase{"int_dt(I, 10)", 0, 60, 0, 100, ""},
                      IntegralCase{"int_dt(I, , 30)", 0, 60, 0, 60, ""},
                      // only samples inside the bounds count: 11 .. 20
                      IntegralCase{"int_dt(I, 10.5, 20.5)", 0, 60, 0, 18, ""},
                      IntegralCase{"int_dt(I, 5, 5)", 0, 60, 0, 0, ""},
                      IntegralCase{"int_dt(I, 70, 80)", 0, 60, 0, 0, ""},
                      IntegralCase{"int_dt(T, 0, 10)", 0, 60, 0, 50, ""},
                      IntegralCase{"int_dt(1, (T1+10), T2-10)", 0, 60, 0, 40, ""},
                      // the integrand sees the calling context's variables
                      IntegralCase{"int_dt(I*dT, T1, T2)", 0, 60, 0, 7200, ""},
                      IntegralCase{"2*int_dt(I, T1, T2)+1", 0, 60, 0, 241, ""},
                      // the third part keeps the rest of the text; a statement ends before ","
                      IntegralCase{"int_dt(I, T1, T2, 5)", 0, 60, 0, 120, ""},
                      // not answered: evaluated as an ordinary call, which fails
                      IntegralCase{"int_dt(int_dt(I, T1, T2), T1, T2)", 0, 60, 6, 0, "int_dt"},
                      IntegralCase{"int_dt(, T1, T2)", 0, 60, 8, 0, "int_dt"},
                      IntegralCase{"int_dt(I, nope, T2)", 0, 60, 4, 0, "I"},
                      IntegralCase{"int_dt(1, nope, T2)", 0, 60, 4, 0, "nope"},
                      IntegralCase{"int_dt(1, 1/0)", 0, 60, 3, 0, ")"},
                      IntegralCase{"int_dt(1/(T-30), T1, T2)", 0, 60, 4, 0, "T"},
                      IntegralCase{"int_dt(1, T1, T2)*int_dt(1)", 0, 60, 0, 3600, ""},
                      IntegralCase{"Int_dt(I, T1, T2)", 0, 60, 4, 0, "I"}));

TEST(Integral, ConstantCurrentThroughTheRecalculation) {
    const SampleTable block = constantCurrentBlock();
    UserCalculations calc;
    calc.setInterval(0, 60);
    UserFormulas doc{"int_dt(I, T1, T2)", "int_dt(I, T2, T1)", "Ah", "back"};
    const UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(d.result1, "120");
    EXPECT_EQ(d.result2, "-120");

    doc.m_strFormula1 = "int_dt(U*I, T1, T2)";
    // 2 A times 12 V rising by 0.6 V over 60 s: 2 * (12 * 60 + 0.3 * 60)
    EXPECT_EQ(calc.RecalcUserCalculations(&doc, &block, false).result1, "1476");
    doc.m_strFormula1 = "int_dt(int_dt(I, T1, T2), T1, T2)";
    EXPECT_EQ(calc.RecalcUserCalculations(&doc, &block, false).result1, "error");
    // Assignments inside the integrand stay in its own context.
    doc.m_strFormula1 = "int_dt(z=I, T1, T2)";
    doc.m_strFormula2 = "z";
    const UserCalcDisplay leak = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(leak.result1, "120");
    EXPECT_EQ(leak.result2, "error");
}

TEST(Integral, NotAnsweredWithoutACursorBlock) {
    UserCalculations calc;
    ExpressionContext context;
    context.addResolver(&calc);
    EXPECT_EQ(context.Evaluate("int_dt(1, 0, 10)").code, kExprUnknownFunction);
    EXPECT_EQ(context.Evaluate("int_dt(U*I, 0, 10)").code, kExprUnknownVariable);
}

TEST(Integral, EmptyBlockHasNothingToIntegrate) {
    const SampleTable empty("S", "B");
    UserCalculations calc;
    calc.setCursorBlock(&empty);
    ExpressionContext context;
    context.addResolver(&calc);
    const EvalResult r = context.Evaluate("int_dt(I, 0, 10)");
    EXPECT_EQ(r.code, kExprOk);
    EXPECT_EQ(r.value, 0);
}

// Samples every 10 s: U = 10 + T/10, I = 1 + T/100, C = T/1000, E = T/100, R = 1000 + T.
SampleTable rampBlock() {
    SampleTable block("Session7", "Discharge 3");
    for (int k = 0; k <= 10; ++k) {
        const float t = 10.0f * static_cast<float>(k);
        block.append(t, 10 + t / 10, 1 + t / 100, t / 1000, t / 100, 1000 + t);
    }
    return block;
}

TEST(Recalculation, VariablesComeFromTheSamplesAtT1AndT2) {
    const SampleTable block = rampBlock();
    struct Case {
        const char* formula;
        const char* text;
    };
    const Case cases[] = {
        {"T1", "20"},          {"U1", "12"},   {"I1", "1.2"}, {"C1", "0.02"}, {"E1", "0.2"},
        {"R1", "1020"},        {"T2", "60"},   {"U2", "16"},  {"I2", "1.6"},  {"C2", "0.06"},
        {"E2", "0.6"},         {"R2", "1060"}, {"dT", "40"},  {"dU", "4"},    {"dI", "0.4"},
        {"dC", "0.04"},        {"dE", "0.4"},  {"dR", "40"},  {"dt*2", "80"}, {"u2-U1", "4"},
        {"dC/dT*3600", "3.6"},
    };
    for (const Case& c : cases) {
        UserCalculations calc;
        // In time mode T1 and T2 move onto the first sample at or after them.
        calc.setInterval(12, 55);
        UserFormulas doc{c.formula, "", "", ""};
        const UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, false);
        EXPECT_TRUE(d.resultsShown);
        EXPECT_EQ(d.result1, c.text) << c.formula;
        EXPECT_EQ(d.result2, "n/a");
        EXPECT_EQ(calc.t1(), 20);
        EXPECT_EQ(calc.t2(), 60);
    }
}

TEST(Recalculation, IntervalOutsideTheBlockUsesItsEnds) {
    const SampleTable block = rampBlock();
    UserCalculations calc;
    calc.setInterval(500, -5);
    UserFormulas doc{"T1", "T2", "", ""};
    const UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(d.result1, "100");
    EXPECT_EQ(d.result2, "0");
    EXPECT_EQ(calc.t1(), 100);
    EXPECT_EQ(calc.t2(), 0);
}

TEST(Recalculation, NormalizedModeReadsPercentsAndKeepsThem) {
    const SampleTable block = rampBlock();
    UserCalculations calc;
    calc.setInterval(25, 75);
    UserFormulas doc{"T1", "dT", "", ""};
    const UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, true);
    // 25 % of 10 intervals rounds to sample 3, 75 % to sample 8.
    EXPECT_EQ(d.result1, "30");
    EXPECT_EQ(d.result2, "50");
    EXPECT_EQ(calc.t1(), 25);
    EXPECT_EQ(calc.t2(), 75);
}

TEST(Recalculation, ResultTexts) {
    const SampleTable block = rampBlock();
    struct Case {
        const char* formula;
        const char* text;
    };
    const Case cases[] = {
        {"", "n/a"},           {"1/3", "0.33333"},   {"123456", "1.2346e+05"}, {"0.0001", "0.0001"},
        {"1/100000", "1e-05"}, {"-0.5", "-0.5"},     {"2/3*1000", "666.67"},   {"1/0", "error"},
        {"SIN(1)", "error"},   {"unknown", "error"}, {"a=2;", "error"},        {"x=4", "4"},
    };
    for (const Case& c : cases) {
        UserCalculations calc;
        UserFormulas doc{c.formula, "", "", ""};
        EXPECT_EQ(calc.RecalcUserCalculations(&doc, &block, false).result1, c.text) << c.formula;
    }
}

TEST(Recalculation, TitlesNamesAndWhatStaysUnchanged) {
    const SampleTable block = rampBlock();
    UserCalculations calc;

    const UserFormulas doc{"1", "2", "Energy", ""};
    const UserCalcDisplay full = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(full.title1, "Energy");
    EXPECT_EQ(full.title2, "User Calculation");
    EXPECT_TRUE(full.namesShown);
    EXPECT_EQ(full.sessionName, "Session7");
    EXPECT_EQ(full.blockName, "Discharge 3");
    EXPECT_TRUE(full.resultsShown);

    // No cursor block: only the titles; the results keep their texts.
    const UserCalcDisplay noBlock = calc.RecalcUserCalculations(&doc, nullptr, false);
    EXPECT_EQ(noBlock.title1, "Energy");
    EXPECT_FALSE(noBlock.namesShown);
    EXPECT_FALSE(noBlock.resultsShown);

    // No document: default titles and the names, no results.
    const UserCalcDisplay noDoc = calc.RecalcUserCalculations(nullptr, &block, false);
    EXPECT_EQ(noDoc.title1, "User Calculation");
    EXPECT_EQ(noDoc.title2, "User Calculation");
    EXPECT_TRUE(noDoc.namesShown);
    EXPECT_EQ(noDoc.blockName, "Discharge 3");
    EXPECT_FALSE(noDoc.resultsShown);
}

TEST(Recalculation, BothFormulasShareOneContextForOneRecalculation) {
    const SampleTable block = rampBlock();
    UserCalculations calc;
    UserFormulas doc{"k=3", "k*2", "", ""};
    UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(d.result1, "3");
    EXPECT_EQ(d.result2, "6");
    doc = UserFormulas{"", "k", "", ""};
    d = calc.RecalcUserCalculations(&doc, &block, false);
    EXPECT_EQ(d.result1, "n/a");
    EXPECT_EQ(d.result2, "error");
}

TEST(Recalculation, EmptyBlockLeavesTheSampleVariablesUnset) {
    const SampleTable empty("S", "Waiting");
    UserCalculations calc;
    calc.setInterval(3, 9);
    UserFormulas doc{"U1", "2+2", "", ""};
    UserCalcDisplay d = calc.RecalcUserCalculations(&doc, &empty, false);
    EXPECT_EQ(d.result1, "error");
    EXPECT_EQ(d.result2, "4");
    EXPECT_EQ(calc.t1(), 3);
    doc.m_strFormula1 = "int_dt(I)";
    d = calc.RecalcUserCalculations(&doc, &empty, true);
    EXPECT_EQ(d.result1, "0");
}

TEST(Recalculation, CursorBlockIsOnlyLentForTheRecalculation) {
    const SampleTable block = rampBlock();
    UserCalculations calc;
    const UserFormulas doc{"int_dt(I)", "", "", ""};
    EXPECT_EQ(calc.RecalcUserCalculations(&doc, &block, false).result1, "150");
    EXPECT_EQ(calc.cursorBlock(), nullptr);
}

TEST(Recalculation, FormatGeneralIgnoresTheLocale) {
    struct Case {
        double value;
        int precision;
        const char* text;
    };
    const Case cases[] = {{0.1 + 0.2, 17, "0.30000000000000004"},
                          {1e21, 17, "1e+21"},
                          {-2.5, 5, "-2.5"},
                          {100000, 5, "1e+05"},
                          {99999, 5, "99999"},
                          {HUGE_VAL, 5, "inf"}};
    for (const Case& c : cases)
        EXPECT_EQ(formatGeneral(c.value, c.precision), c.text);
}

}  // namespace
}  // namespace voltaro

namespace voltaro {
namespace {

// A block that offers only single samples, as a minimal adapter would.
class PlainSource : public SampleSource {
public:
    explicit PlainSource(std::vector<double> times) : times_(std::move(times)) {}
    std::size_t sampleCount() const override { return times_.size(); }
    SampleValues sampleAt(std::size_t index) const override {
        return {times_[index], 12.0, 2.0, 0.0, 0.0, 0.0};
    }
    std::size_t indexAtPercent(double) const override { return 0; }
    std::string sessionName() const override { return "S"; }
    std::string blockName() const override { return "B"; }

private:
    std::vector<double> times_;
};

TEST(Integral, LongBlocksAcrossReadChunks) {
    std::vector<double> times;
    SampleTable table;
    for (int k = 0; k < 1000; ++k) {
        times.push_back(k);
        table.append(static_cast<float>(k), 12.0f, 2.0f);
    }
    const PlainSource plain(times);
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"int_dt(I)", 2 * 999.0},
                          {"int_dt(I, 200.5, 700.5)", 2 * 499.0},
                          {"int_dt(U*I, 255, 257)", 48.0},
                          {"int_dt(I, 700.5, 200.5)", -2 * 499.0}};
    for (const SampleSource* block :
         {static_cast<const SampleSource*>(&plain), static_cast<const SampleSource*>(&table)}) {
        UserCalculations calc;
        calc.setCursorBlock(block);
        ExpressionContext context;
        context.addResolver(&calc);
        for (const Case& c : cases) {
            const EvalResult r = context.Evaluate(c.text);
            EXPECT_EQ(r.code, kExprOk) << c.text;
            EXPECT_DOUBLE_EQ(r.value, c.value) << c.text;
        }
    }
}

TEST(Integral, IndexAtTimeScansFromTheStart) {
    // Times that go back: the first sample at or after t wins, not a sorted search.
    const PlainSource block({0, 5, 3, 10});
    struct Case {
        double t;
        std::size_t index;
    };
    const Case cases[] = {{-1, 0}, {0, 0}, {4, 1}, {5, 1}, {6, 3}, {99, 3}};
    for (const Case& c : cases)
        EXPECT_EQ(block.indexAtTime(c.t), c.index) << c.t;
    // int_dt from 4 starts at the sample at 5 and then takes 3 and 10 as they come.
    UserCalculations calc;
    calc.setCursorBlock(&block);
    ExpressionContext context;
    context.addResolver(&calc);
    const EvalResult r = context.Evaluate("int_dt(I, 4, 20)");
    EXPECT_EQ(r.code, kExprOk);
    EXPECT_DOUBLE_EQ(r.value, 2 * (3 - 5) + 2 * (10 - 3));
}

}  // namespace
}  // namespace voltaro
