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

// "voltaro-cli: <text>" and a line end on stderr, on one line: the core's texts are
// made for message boxes and put the reason on a line of its own, which a script
// reading "voltaro-cli:" lines would lose, so each line break becomes one blank.
inline void writeError(const QString& text) {
    QString line = text.trimmed();
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    platform::cli::writeError(kProgramName, line);
}

// Loads a project for a command into a document that never touches the serial
// port or the user's settings. On failure writes the error and returns false.
bool loadProjectForCommand(const QString& path, CMainDoc& doc);

}  // namespace voltaro::cli
