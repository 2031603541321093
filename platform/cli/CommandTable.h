#pragma once
// The command table of a command-line program: "PROGRAM COMMAND ARGS...", where
// each command gets the arguments after its name and returns the exit status.

#include <QStringList>

#include <span>
#include <string>
#include <string_view>

namespace platform::cli {

using CommandFn = int (*)(const QStringList& args);

struct Command {
    const char* name;
    const char* usage;  // arguments, for the help text
    const char* summary;
    CommandFn run;
};

// "usage: PROGRAM COMMAND ARGS..." and each command with its arguments and summary.
std::string usageText(std::string_view program, std::span<const Command> commands);

// "usage: PROGRAM COMMAND ARGS" and the command's summary.
std::string commandUsageText(std::string_view program, const Command& command);

// Runs the command the first of args names with the rest. --help, -h and help print
// the help text to stdout (status 0), "COMMAND --help" (or -h) alone that command's
// usage; no command or an unknown one prints the help text to stderr (status 2).
int dispatchCommand(QStringList args, std::string_view program, std::span<const Command> commands);

// The whole main(): the application object, then dispatchCommand on the arguments
// after the program's own path.
int runCommandLine(int argc, char** argv, std::string_view program,
                   std::span<const Command> commands);

}  // namespace platform::cli
