#pragma once
// The commands of orlo-cli. A command gets the arguments after its name and
// returns the exit status; it writes through CliOutput.h.

#include "platform/cli/CommandTable.h"

#include <QStringList>

namespace orlo::cli {

using platform::cli::Command;

int InfoCommand(const QStringList& args);
int ExportCommand(const QStringList& args);
int DecodeCommand(const QStringList& args);
int DownloadCommand(const QStringList& args);

}  // namespace orlo::cli
