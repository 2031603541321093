#pragma once
// Output helpers of the orlo-cli commands: the shared command-line output under
// this program's name, and the reading of a data file for a command.

#include "orlo/data/TDataBlock.h"
#include "platform/cli/CliOutput.h"

#include <QString>

#include <string>
#include <string_view>

namespace orlo::cli {

inline constexpr std::string_view kProgramName = "orlo-cli";

using platform::cli::jsonString;
using platform::cli::JsonWriter;
using platform::cli::writeOut;

// "orlo-cli: <text>" on one line and a line end on stderr.
inline void writeError(const QString& text) {
    platform::cli::writeError(kProgramName, text);
}

// Data files hold doubles only: no float overload, so a value never prints as a float.
inline std::string jsonNumber(double v) {
    return platform::cli::jsonNumber(v);
}

// Reads a data file for a command: the block and true when it holds at least one
// sample; otherwise the failure is written to stderr.
bool readBlockForCommand(const QString& path, TDataBlock& block);

}  // namespace orlo::cli
