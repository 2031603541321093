#pragma once
// Reading and writing whole files as bytes, for tests that compare what a program
// wrote with what it should have written.

#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace platform::testing {

// The file's bytes; nothing when it cannot be read.
std::optional<std::string> readFileBytes(const QString& path);
// Replaces the file with the bytes; false when they could not all be written.
bool writeFileBytes(const QString& path, std::string_view bytes);

}  // namespace platform::testing
