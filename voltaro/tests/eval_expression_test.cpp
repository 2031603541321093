// The formula language: values, precedence, tokens, and the error each faulty text
// gives with its position and name.

#include "voltaro/graph/ExpressionContext.h"

#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <limits>
#include <string>

namespace voltaro {
namespace {

struct ValueCase {
    const char* text;
    double expected;
};

std::ostream& operator<<(std::ostream& os, const ValueCase& c) {
    return os << '"' << c.text << '"';
}

class ValueTest : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ValueTest, EvaluatesTo) {
    const ValueCase& c = GetParam();
    ExpressionContext context;
    const EvalResult r = context.Evaluate(c.text);
    ASSERT_EQ(r.code, kExprOk) << c.text << ": " << formatExpressionError(context.error());
    EXPECT_DOUBLE_EQ(r.value, c.expected) << c.text;
    EXPECT_EQ(context.error().code, kExprOk);
}

const double kPi = std::acos(-1.0);

INSTANTIATE_TEST_SUITE_P(
    Language, ValueTest,
    ::testing::Values(
        // precedence and associativity
        ValueCase{"1+2*3", 7}, ValueCase{"2^3^2", 8}, ValueCase{"-2^2", 4}, ValueCase{"2^-1", 0.5},
        ValueCase{"-(2+3)", -5}, ValueCase{"+3", 3}, ValueCase{"2*-3", -6}, ValueCase{"10-4-3", 3},
        ValueCase{"100/10/5", 2}, ValueCase{"2*3^2", 18}, ValueCase{"(1+2)*3", 9},
        ValueCase{"2^(1+1)", 4}, ValueCase{"7%3", 1}, ValueCase{"-7%3", -1},
        ValueCase{"7.5%2", 1.5},
        // numbers
        ValueCase{"0x1F", 31}, ValueCase{"0X10", 16}, ValueCase{"0xff", 255},
        ValueCase{"2e3", 2000}, ValueCase{"1E2", 100}, ValueCase{"1.5*2", 3}, ValueCase{".5", 0.5},
        ValueCase{"5.", 5}, ValueCase{"  3\t ", 3},
        // a complete statement ends the formula; what follows is not read
        ValueCase{"1 2", 1}, ValueCase{"1)", 1}, ValueCase{"4 = 5", 4}, ValueCase{"1 2 $", 1},
        // statements and variables
        ValueCase{"a=2; a*3", 6}, ValueCase{"a=2;b=a^2;b+1", 5}, ValueCase{"u1=5; U1", 5},
        ValueCase{"(a=3)*a", 9}, ValueCase{"a=1; a=a+1; a", 2}, ValueCase{"U[V]=2; U [ V ] * 2", 4},
        ValueCase{"x[a[b]]=7; X[ a [b ] ]", 7}, ValueCase{"Block.U=3; Block . U", 3},
        ValueCase{"s1.b2=6; s1. b2", 6}, ValueCase{"_x_1=4;_x_1", 4},
        // built-in functions
        ValueCase{"sin(0)", 0}, ValueCase{"cos(0)", 1}, ValueCase{"tan(0)", 0},
        ValueCase{"asin(1)", kPi / 2}, ValueCase{"acos(1)", 0}, ValueCase{"atan(1)*4", kPi},
        ValueCase{"sinh(0)", 0}, ValueCase{"cosh(0)", 1}, ValueCase{"tanh(0)", 0},
        ValueCase{"exp(0)", 1}, ValueCase{"log(1000)", 3}, ValueCase{"ln(exp(2))", 2},
        ValueCase{"sqrt(16)", 4}, ValueCase{"floor(-1.5)", -2}, ValueCase{"ceil(-1.5)", -1},
        ValueCase{"abs(-3)", 3}, ValueCase{"hypot(3, 4)", 5}, ValueCase{"sin (0)+1", 1},
        ValueCase{"deg(1)", 57.29577951308232}, ValueCase{"rad(180)", kPi},
        ValueCase{"m2ft(1)", 3.28084}, ValueCase{"ft2m(1)", 1 / 3.28084},
        ValueCase{"ft2m(m2ft(7))", 7}, ValueCase{"sqrt(hypot(3,4)*5)", 5},
        ValueCase{"hypot(a=3, a+1)", 5}, ValueCase{"(sqrt((4)))", 2}));

TEST(ExpressionOverflow, NumberBeyondDoubleIsInfinite) {
    ExpressionContext context;
    const EvalResult r = context.Evaluate("1e999");
    ASSERT_EQ(r.code, kExprOk);
    EXPECT_EQ(r.value, std::numeric_limits<double>::infinity());
}

struct ErrorCase {
    const char* text;
    int code;
    int position;
    const char* name;
};

std::ostream& operator<<(std::ostream& os, const ErrorCase& c) {
    return os << '"' << c.text << '"';
}

class ErrorTest : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ErrorTest, FailsWith) {
    const ErrorCase& c = GetParam();
    ExpressionContext context;
    const EvalResult r = context.Evaluate(c.text);
    EXPECT_EQ(r.code, c.code) << c.text;
    EXPECT_EQ(context.error().code, c.code) << c.text;
    EXPECT_EQ(context.error().position, c.position) << c.text;
    EXPECT_EQ(context.error().name, c.name) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Language, ErrorTest,
    ::testing::Values(
        // division by zero: reported after the divisor and the token after it were read
        ErrorCase{"1/0", 3, 2, ""}, ErrorCase{"5%0", 3, 2, ""}, ErrorCase{"4/(1-1)+2", 3, 7, "+"},
        // empty parentheses and empty arguments
        ErrorCase{"()", 8, 1, ")"}, ErrorCase{"sin()", 8, 4, "sin"}, ErrorCase{"2*( )", 8, 4, ")"},
        ErrorCase{"hypot(,1)", 8, 6, "hypot"}, ErrorCase{"hypot(1,)", 8, 8, "hypot"},
        // calls: argument count, unknown names (function names match with case)
        ErrorCase{"sin(1,2)", 7, 7, "sin"}, ErrorCase{"hypot(1)", 7, 7, "hypot"},
        ErrorCase{"hypot(1,2,3,4,5,6,7,8,9,10)", 7, 26, "hypot"},
        ErrorCase{"hypot(1,2,3,4,5,6,7,8,9,10,11)", 7, 28, "hypot"},
        ErrorCase{"foo(1)", 6, 5, "foo"}, ErrorCase{"SIN(1)", 6, 5, "SIN"},
        ErrorCase{"1+Sqrt(4)", 6, 8, "Sqrt"},
        // parentheses
        ErrorCase{"(1+2", 2, 3, ""}, ErrorCase{"(1 2)", 2, 3, "2"}, ErrorCase{"sin(1", 2, 3, "sin"},
        ErrorCase{"sin(1 2)", 2, 6, "2"}, ErrorCase{"(2^3^2)", 2, 4, "^"},
        // tokens
        ErrorCase{"1.2.3", 1, 4, "1.2.3"}, ErrorCase{"0x1.5", 1, 4, "0x1.5"},
        ErrorCase{"0x", 1, 1, "0x"}, ErrorCase{"1x2", 1, 2, "1x2"}, ErrorCase{"12ab", 1, 3, "12ab"},
        ErrorCase{".", 1, 0, "."}, ErrorCase{"2e-3", 1, 1, "2e"}, ErrorCase{"1+$", 1, 2, "$"},
        ErrorCase{"1 $", 1, 2, "$"}, ErrorCase{"1+", 1, 1, ""}, ErrorCase{"--2", 1, 1, "-"},
        ErrorCase{"*2", 1, 0, "*"}, ErrorCase{"a==1", 1, 2, "="}, ErrorCase{"(a=)", 1, 3, ")"},
        // unknown variables
        ErrorCase{"a", 4, 0, "a"}, ErrorCase{"1 + abc*2", 4, 6, "abc"},
        ErrorCase{"int_dt(I, T1, T2)", 4, 7, "I"},
        // empty statements
        ErrorCase{"", 9, -1, ""}, ErrorCase{"  ", 9, 1, ""}, ErrorCase{"a=2;", 9, -1, ""},
        ErrorCase{";1", 9, -1, ""}, ErrorCase{"1;;2", 9, -1, ""},
        // the first error met in reading order wins
        ErrorCase{"b + (1", 4, 0, "b"}, ErrorCase{"1/0 + (", 3, 4, "+"},
        ErrorCase{"1/0 $", 1, 4, "$"}, ErrorCase{"a $", 1, 2, "$"},
        ErrorCase{"x=1; 1/0; y", 3, 3, ""}, ErrorCase{"sin(q) + (", 4, 4, "q"}));

TEST(ExpressionNesting, DeepNestingIsRefusedNotFatal) {
    ExpressionContext context;
    const std::string ok = std::string(100, '(') + "1" + std::string(100, ')');
    EXPECT_EQ(context.Evaluate(ok).code, kExprOk);
    const std::string deep = std::string(101, '(') + "1" + std::string(101, ')');
    EXPECT_EQ(context.Evaluate(deep).code, kExprSyntax);
    // Far beyond any stack: still an error code, not a crash.
    std::string calls;
    for (int i = 0; i < 10000; ++i)
        calls += "abs(";
    EXPECT_EQ(context.Evaluate(calls + "1" + std::string(10000, ')')).code, kExprSyntax);
}

TEST(ExpressionStatements, AssignmentFlagFollowsTheLastStatement) {
    struct Case {
        const char* text;
        bool assignment;
        double value;
    };
    const Case cases[] = {
        {"a=2", true, 2}, {"a=2; a", false, 2}, {"a=5; b=a*2", true, 10}, {"(a=2)", false, 2}};
    for (const Case& c : cases) {
        ExpressionContext context;
        const EvalResult r = context.Evaluate(c.text);
        ASSERT_EQ(r.code, kExprOk) << c.text;
        EXPECT_EQ(r.assignment, c.assignment) << c.text;
        EXPECT_EQ(r.value, c.value) << c.text;
    }
}

TEST(ExpressionStatements, NameWithNothingAfterTheEqualsSignRemovesIt) {
    ExpressionContext context;
    ASSERT_TRUE(context.SetVariable("a", 4));
    const EvalResult r = context.Evaluate("a=");
    EXPECT_EQ(r.code, kExprOk);
    EXPECT_TRUE(r.assignment);
    EXPECT_FALSE(context.variable("a").has_value());
    EXPECT_EQ(context.Evaluate("a").code, kExprUnknownVariable);
}

TEST(ExpressionStatements, ErrorKeepsTheValueOfTheLastCompletedStatement) {
    ExpressionContext context;
    const EvalResult r = context.Evaluate("x=3; x*2; 1/0");
    EXPECT_EQ(r.code, kExprDivisionByZero);
    EXPECT_EQ(r.value, 6);
    // Statements before the error did run.
    EXPECT_EQ(context.variable("x"), 3);
}

TEST(ExpressionStatements, LongNamesAreCutTo256Characters) {
    ExpressionContext context;
    const std::string stem(256, 'v');
    ASSERT_EQ(context.Evaluate(stem + "a=5").code, kExprOk);
    // Both spellings cut to the same 256 characters.
    const EvalResult r = context.Evaluate(stem + "b*2");
    ASSERT_EQ(r.code, kExprOk);
    EXPECT_EQ(r.value, 10);
    EXPECT_EQ(context.variableCount(), 1);
}

TEST(ExpressionErrorTexts, FilledWithPositionAndName) {
    struct Case {
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {"1.2.3", "Syntax error at character 4"},
        {"(1+2", "Unbalanced parenthesis at character 3"},
        {"1/0", "Division by zero"},
        {"1 + abc", "Unknown variable 'abc' at character 6"},
        {"foo(1)", "Unrecognised function 'foo' at character 5"},
        {"sin(1,2)", "Wrong number of arguments to function 'sin' at character 7"},
        {"sin()", "Missing an argument of function 'sin' at character 4"},
        {"", "Empty expression"},
    };
    for (const Case& c : cases) {
        ExpressionContext context;
        context.Evaluate(c.text);
        EXPECT_EQ(formatExpressionError(context.error()), c.message) << c.text;
    }
    ExpressionContext full;
    for (int i = 0; i < ExpressionContext::kMaxVariables; ++i)
        ASSERT_TRUE(full.SetVariable("v" + std::to_string(i), i));
    full.Evaluate("w=1");
    EXPECT_EQ(formatExpressionError(full.error()), "Maximum number of variables exceeded");

    // A name that itself reads "%1" is not expanded a second time.
    EXPECT_EQ(formatExpressionError({kExprUnknownVariable, 2, "%1%2"}),
              "Unknown variable '%1%2' at character 2");
    EXPECT_EQ(expressionErrorStringId(kExprEmpty), 5109);
    EXPECT_TRUE(expressionErrorTemplate(10).empty());
    EXPECT_TRUE(expressionErrorTemplate(0).empty());
}

}  // namespace
}  // namespace voltaro
