#include "platform/cli/CommandTable.h"

#include "platform/cli/CliOutput.h"

#include <QCoreApplication>

#include <cstdio>
#include <utility>

namespace platform::cli {

namespace {

void writeUsageToStderr(std::string_view program, std::span<const Command> commands) {
    const std::string text = usageText(program, commands);
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace

std::string usageText(std::string_view program, std::span<const Command> commands) {
    std::string text = "usage: ";
    text += program;
    text += " COMMAND ARGS...\n\ncommands:\n";
    for (const Command& c : commands) {
        text += "  ";
        text += c.name;
        text += ' ';
        text += c.usage;
        text += "\n      ";
        text += c.summary;
        text += '\n';
    }
    return text;
}

std::string commandUsageText(std::string_view program, const Command& command) {
    std::string text = "usage: ";
    text += program;
    text += ' ';
    text += command.name;
    text += ' ';
    text += command.usage;
    text += "\n    ";
    text += command.summary;
    text += '\n';
    return text;
}

int dispatchCommand(QStringList args, std::string_view program, std::span<const Command> commands) {
    if (args.isEmpty()) {
        writeUsageToStderr(program, commands);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        writeOut(usageText(program, commands));
        return 0;
    }
    for (const Command& c : commands) {
        if (name == QLatin1String(c.name)) {
            // "COMMAND --help" alone shows that command; without this a command would
            // take "--help" for a file name or a formula.
            if (args.size() == 1 &&
                (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
                writeOut(commandUsageText(program, c));
                return 0;
            }
            return c.run(args);
        }
    }
    writeError(program, QStringLiteral("unknown command \"%1\"").arg(name));
    writeUsageToStderr(program, commands);
    return 2;
}

int runCommandLine(int argc, char** argv, std::string_view program,
                   std::span<const Command> commands) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return dispatchCommand(std::move(args), program, commands);
}

}  // namespace platform::cli
