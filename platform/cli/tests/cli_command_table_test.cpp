#include "platform/cli/CommandTable.h"

#include <gtest/gtest.h>

namespace platform::cli {
namespace {

// What the last command saw; commands are plain functions.
struct Seen {
    QString command;
    QStringList args;
};
Seen seen;

int first(const QStringList& args) {
    seen = {QStringLiteral("first"), args};
    return 0;
}

int second(const QStringList& args) {
    seen = {QStringLiteral("second"), args};
    return 7;
}

constexpr Command kTable[] = {
    {"first", "A B", "the first command", first},
    {"second", "[--flag]", "the second one", second},
};

TEST(CliCommandTable, UsageListsEveryCommandWithArgumentsAndSummary) {
    EXPECT_EQ(usageText("prog", kTable),
              "usage: prog COMMAND ARGS...\n\n"
              "commands:\n"
              "  first A B\n"
              "      the first command\n"
              "  second [--flag]\n"
              "      the second one\n");
}

TEST(CliCommandTable, CommandUsageNamesTheProgramAndTheCommand) {
    EXPECT_EQ(commandUsageText("prog", kTable[1]),
              "usage: prog second [--flag]\n    the second one\n");
}

TEST(CliCommandTable, DispatchRunsTheNamedCommandWithTheRest) {
    struct Case {
        QStringList args;
        int status;
        QString command;  // empty: no command runs
        QStringList commandArgs;
    };
    const Case cases[] = {
        {{QStringLiteral("first"), QStringLiteral("a"), QStringLiteral("b")},
         0,
         QStringLiteral("first"),
         {QStringLiteral("a"), QStringLiteral("b")}},
        {{QStringLiteral("second")}, 7, QStringLiteral("second"), {}},
        // Only the first argument names the command.
        {{QStringLiteral("second"), QStringLiteral("first")},
         7,
         QStringLiteral("second"),
         {QStringLiteral("first")}},
        {{QStringLiteral("--help")}, 0, {}, {}},
        {{QStringLiteral("-h")}, 0, {}, {}},
        {{QStringLiteral("help"), QStringLiteral("first")}, 0, {}, {}},
        {{}, 2, {}, {}},
        {{QStringLiteral("third")}, 2, {}, {}},
        // "COMMAND --help" alone shows the command's usage instead of running it;
        // with more arguments the command gets them all (a formula may be "-h").
        {{QStringLiteral("first"), QStringLiteral("--help")}, 0, {}, {}},
        {{QStringLiteral("second"), QStringLiteral("-h")}, 0, {}, {}},
        {{QStringLiteral("first"), QStringLiteral("-h"), QStringLiteral("x")},
         0,
         QStringLiteral("first"),
         {QStringLiteral("-h"), QStringLiteral("x")}},
        // Names match exactly.
        {{QStringLiteral("First")}, 2, {}, {}},
    };
    for (const Case& c : cases) {
        seen = {};
        EXPECT_EQ(dispatchCommand(c.args, "prog", kTable), c.status)
            << c.args.join(' ').toStdString();
        EXPECT_EQ(seen.command, c.command) << c.args.join(' ').toStdString();
        EXPECT_EQ(seen.args, c.commandArgs) << c.args.join(' ').toStdString();
    }
}

}  // namespace
}  // namespace platform::cli
