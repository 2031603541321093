#pragma once
// The commands of orlo-cli. A command gets the arguments after its name and
// returns the exit status; it writes through CliOutput.h.

#include <QStringList>

namespace orlo::cli {

using CommandFn = int (*)(const QStringList& args);

struct Command {
    const char* name;
    const char* usage;  // arguments, for the help text
    const char* summary;
    CommandFn run;
};

int InfoCommand(const QStringList& args);
int ExportCommand(const QStringList& args);
int DecodeCommand(const QStringList& args);
int DownloadCommand(const QStringList& args);

}  // namespace orlo::cli
