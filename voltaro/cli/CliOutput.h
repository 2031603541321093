#pragma once
// Output helpers of the voltaro-cli commands: the shared command-line output under
// this program's name, and the loading of a project for a command.

#include "platform/cli/CliOutput.h"

#include <QString>

#include <string_view>

namespace voltaro {
class CMainDoc;
}

namespace voltaro::cli {

inline constexpr std::string_view kProgramName = "voltaro-cli";

using platform::cli::jsonNumber;
using platform::cli::jsonString;
using platform::cli::JsonWriter;
using platform::cli::writeOut;

// "voltaro-cli: <text>" on one line and a line end on stderr.
inline void writeError(const QString& text) {
    platform::cli::writeError(kProgramName, text);
}

// Loads a project for a command into a document that never touches the serial
// port or the user's settings. On failure writes the error and returns false.
bool loadProjectForCommand(const QString& path, CMainDoc& doc);

}  // namespace voltaro::cli
