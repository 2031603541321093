#pragma once
// The commands of voltaro-cli. A command gets the arguments after its name and
// returns the exit status; it writes through CliOutput.h.

#include "platform/cli/CommandTable.h"

#include <QStringList>

namespace voltaro::cli {

using platform::cli::Command;

int EvalCommand(const QStringList& args);
int ExportCommand(const QStringList& args);
int ImportCommand(const QStringList& args);
int InfoCommand(const QStringList& args);
int PlotCommand(const QStringList& args);
int ReceiveCommand(const QStringList& args);
int ResaveCommand(const QStringList& args);

}  // namespace voltaro::cli
