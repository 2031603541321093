// voltaro-cli eval, run as a separate process.
#include "platform/testing/ChildProcess.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace {

struct EvalRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

EvalRun runEval(const QStringList& args) {
    const platform::testing::ProgramRun run = platform::testing::runProgram(
        QStringLiteral(VOLTARO_CLI_PATH), QStringList{QStringLiteral("eval")} + args);
    return {run.exitCode, run.out.toStdString(), run.err.toStdString()};
}

TEST(CliEval, PrintsTheValueOrTheError) {
    struct Case {
        QStringList args;
        int exitCode;
        const char* out;
        // On stderr: why int_dt cannot work without a block; nothing else is said.
        bool blockNote = false;
    };
    const Case cases[] = {
        {{"2^3^2"}, 0, "8\n"},
        {{"-2^2"}, 0, "4\n"},
        {{"0.1+0.2"}, 0, "0.30000000000000004\n"},
        {{"1/3"}, 0, "0.33333333333333331\n"},
        {{"U*I", "--var", "U=12.5", "--var", "I=2"}, 0, "25\n"},
        {{"--var", "u1=1e3", "U1/4"}, 0, "250\n"},
        {{"a", "--var", "a=1", "--var", "A=7"}, 0, "7\n"},
        {{"a=2; a*3"}, 0, "6\n"},
        {{"1 + abc"}, 1, "error 4: Unknown variable 'abc' at character 6\n"},
        {{"1/0"}, 1, "error 3: Division by zero\n"},
        {{"(1+2"}, 1, "error 2: Unbalanced parenthesis at character 3\n"},
        {{"SIN(1)"}, 1, "error 6: Unrecognised function 'SIN' at character 5\n"},
        {{"sin(1,2)"}, 1, "error 7: Wrong number of arguments to function 'sin' at character 7\n"},
        {{"sin()"}, 1, "error 8: Missing an argument of function 'sin' at character 4\n"},
        {{"1.2.3"}, 1, "error 1: Syntax error at character 4\n"},
        {{"a=2;"}, 1, "error 9: Empty expression\n"},
        {{"int_dt(I, T1, T2)"}, 1, "error 4: Unknown variable 'I' at character 7\n", true},
        {{"int_dt(2, 0, 60)"},
         1,
         "error 6: Unrecognised function 'int_dt' at character 15\n",
         true},
        {{"int_dt(x)"}, 1, "error 4: Unknown variable 'x' at character 7\n"},
        {{"i + int_dt(1)"}, 1, "error 4: Unknown variable 'i' at character 0\n", true},
        {{"I"}, 1, "error 4: Unknown variable 'I' at character 0\n"},
        {{"foo(1)"}, 1, "error 6: Unrecognised function 'foo' at character 5\n"},
        // Beyond ASCII: the name comes back in the terminal's UTF-8 ("a[č]").
        {{"a[\xC4\x8D]"}, 1, "error 4: Unknown variable 'a[\xC4\x8D]' at character 3\n"},
        {{"a[\xC4\x8D]*2", "--var", "a[\xC4\x8D]=5"}, 0, "10\n"},
    };
    for (const Case& c : cases) {
        const EvalRun r = runEval(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString() << r.err;
        EXPECT_EQ(r.out, c.out) << c.args.join(' ').toStdString();
        EXPECT_EQ(r.err.find("eval has no block") != std::string::npos, c.blockNote)
            << c.args.join(' ').toStdString() << r.err;
    }
}

TEST(CliEval, VariablesCountAgainstTheHundredSlots) {
    QStringList hundred;
    for (int i = 0; i < 100; ++i)
        hundred << QStringLiteral("--var") << QStringLiteral("v%1=%1").arg(i);

    EvalRun r = runEval(QStringList{QStringLiteral("v99+v1")} + hundred);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "100\n");

    r = runEval(QStringList{QStringLiteral("w=1")} + hundred);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "error 5: Maximum number of variables exceeded\n");

    r = runEval(QStringList{QStringLiteral("1")} + hundred +
                QStringList{QStringLiteral("--var"), QStringLiteral("extra=1")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "error 5: Maximum number of variables exceeded\n");
}

TEST(CliEval, BadArgumentsAreUsageErrors) {
    const QStringList cases[] = {
        {},
        {QStringLiteral("x"), QStringLiteral("--var")},
        {QStringLiteral("x"), QStringLiteral("--var"), QStringLiteral("x")},
        {QStringLiteral("x"), QStringLiteral("--var"), QStringLiteral("=3")},
        {QStringLiteral("x"), QStringLiteral("--var"), QStringLiteral("x=3,5")},
        {QStringLiteral("x"), QStringLiteral("--var"), QStringLiteral("x=")},
        {QStringLiteral("1"), QStringLiteral("2")},
    };
    for (const QStringList& args : cases) {
        const EvalRun r = runEval(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.empty()) << args.join(' ').toStdString();
        EXPECT_NE(r.err.find("usage: voltaro-cli eval"), std::string::npos);
    }
}

}  // namespace
