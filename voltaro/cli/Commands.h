#pragma once
// The commands of voltaro-cli. A command gets the arguments after its name and
// returns the exit status; it writes through CliOutput.h.

#include <QStringList>

namespace voltaro::cli {

using CommandFn = int (*)(const QStringList& args);

struct Command {
    const char* name;
    const char* usage;  // arguments, for the help text
    const char* summary;
    CommandFn run;
};

int EvalCommand(const QStringList& args);
int ExportCommand(const QStringList& args);
int ImportCommand(const QStringList& args);
int InfoCommand(const QStringList& args);
int ReceiveCommand(const QStringList& args);
int ResaveCommand(const QStringList& args);

}  // namespace voltaro::cli
