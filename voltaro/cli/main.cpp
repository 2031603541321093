// voltaro-cli: Voltaro projects from the command line.
//
// Usage: voltaro-cli COMMAND ARGS...   (voltaro-cli --help lists the commands)

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"

#include <QCoreApplication>

#include <cstdio>
#include <string>

namespace {

using voltaro::cli::Command;

// One line per command.
constexpr Command kCommands[] = {
    {"eval", "\"EXPR\" [--var NAME=VALUE ...]",
     "evaluate a user formula; prints the value or the error", voltaro::cli::EvalCommand},
    {"export", "IN.vtr --translated|--raw OUT.txt",
     "every block of every session as translated or raw text", voltaro::cli::ExportCommand},
    {"import", "RAW.txt --out OUT.vtr [--parsers DIR]",
     "a new project with the session a raw text file makes", voltaro::cli::ImportCommand},
    {"info", "FILE.vtr", "graph settings, sessions and blocks of a project as JSON",
     voltaro::cli::InfoCommand},
    {"receive", "--port PORT [--offline] --seconds N --out OUT.vtr [--baud B] [--parsers DIR]",
     "headless reception (snooping, or one offline download) into a project",
     voltaro::cli::ReceiveCommand},
    {"resave", "IN.vtr OUT.vtr", "load a project and save it again (as version 5)",
     voltaro::cli::ResaveCommand},
};

std::string usage() {
    std::string text = "usage: voltaro-cli COMMAND ARGS...\n\ncommands:\n";
    for (const Command& c : kCommands) {
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (args.isEmpty()) {
        const std::string text = usage();
        std::fwrite(text.data(), 1, text.size(), stderr);
        return 2;
    }
    const QString name = args.takeFirst();
    if (name == QLatin1String("--help") || name == QLatin1String("-h") ||
        name == QLatin1String("help")) {
        voltaro::cli::writeOut(usage());
        return 0;
    }
    for (const Command& c : kCommands) {
        if (name == QLatin1String(c.name)) {
            return c.run(args);
        }
    }
    voltaro::cli::writeError(QStringLiteral("unknown command \"%1\"").arg(name));
    const std::string text = usage();
    std::fwrite(text.data(), 1, text.size(), stderr);
    return 2;
}
