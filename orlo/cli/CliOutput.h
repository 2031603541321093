#pragma once
// Output helpers shared by the commands: raw bytes to stdout, messages to stderr,
// and the pieces of JSON the commands print.

#include "orlo/data/TDataBlock.h"

#include <QString>

#include <string>
#include <string_view>

namespace orlo::cli {

void writeOut(std::string_view bytes);
// "orlo-cli: <text>" and a line end on stderr.
void writeError(const QString& text);

// A JSON string literal of 8-bit file text, decoded through the program's codec.
std::string jsonString(std::string_view bytes);
// The shortest text that reads back as the same double; null when not finite.
std::string jsonNumber(double v);

// Reads a data file for a command: the block and true when it holds at least one
// sample; otherwise the failure is written to stderr.
bool readBlockForCommand(const QString& path, TDataBlock& block);

}  // namespace orlo::cli
