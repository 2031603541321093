// voltaro-cli: Voltaro projects from the command line.
//
// Usage: voltaro-cli COMMAND ARGS...   (voltaro-cli --help lists the commands,
// voltaro-cli COMMAND --help shows one)

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"

#include <QCoreApplication>

#include <string>
#include <utility>

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
     "headless reception (snooping, or one offline download) into a project; exits 1 "
     "when nothing or only part of a download arrived",
     voltaro::cli::ReceiveCommand},
    {"resave", "IN.vtr OUT.vtr", "load a project and save it again (as version 5)",
     voltaro::cli::ResaveCommand},
};

// "COMMAND --help" alone: the usage of that command on stdout. Without this the
// commands would take "--help" for a file name or a formula.
const Command* helpRequest(const QStringList& args) {
    if (args.size() != 2 || (args[1] != QLatin1String("--help") && args[1] != QLatin1String("-h")))
        return nullptr;
    for (const Command& c : kCommands)
        if (args[0] == QLatin1String(c.name))
            return &c;
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (const Command* c = helpRequest(args)) {
        voltaro::cli::writeOut("usage: " + std::string(voltaro::cli::kProgramName) + ' ' + c->name +
                               ' ' + c->usage + "\n    " + c->summary + '\n');
        return 0;
    }
    return platform::cli::dispatchCommand(std::move(args), voltaro::cli::kProgramName, kCommands);
}
