// voltaro-cli: Voltaro projects from the command line.
//
// Usage: voltaro-cli COMMAND ARGS...   (voltaro-cli --help lists the commands,
// voltaro-cli COMMAND --help shows one)

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"

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
    {"plot", "IN.vtr --json [--x minutes|seconds|normalized] [--max-u-end] [--current S:B]",
     "the chart of the stored selected blocks as JSON (--current: 0-based session and block "
     "of the current block)",
     voltaro::cli::PlotCommand},
    {"receive", "--port PORT [--offline] --seconds N --out OUT.vtr [--baud B] [--parsers DIR]",
     "headless reception (snooping, or one offline download) into a project; exits 1 "
     "when nothing or only part of a download arrived",
     voltaro::cli::ReceiveCommand},
    {"resave", "IN.vtr OUT.vtr", "load a project and save it again (as version 5)",
     voltaro::cli::ResaveCommand},
};

}  // namespace

int main(int argc, char** argv) {
    return platform::cli::runCommandLine(argc, argv, voltaro::cli::kProgramName, kCommands);
}
