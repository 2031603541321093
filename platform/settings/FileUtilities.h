#pragma once
// Small file helpers: the program's version text, temporary file names and
// copying an embedded resource to a file.

#include <QString>

namespace platform {

// The file's fixed version as "major.minor.build.revision", read from its
// version resource on Windows or from the version record our executables carry
// in their ".fileversion" section; empty when the file has neither. An empty
// path means the program's own version.
QString GetFileVersionText(const QString& path = {});

// A new, unique, empty file in the user's temporary folder whose name starts with
// the (at most three letter) prefix; empty when none could be made.
QString MakeTempFileName(const QString& prefix);

// Copies the bytes of a Qt resource (":/...") into a new file at path. On any
// failure the result is false and no partial file is left.
bool WriteResourceToFile(const QString& path, const QString& resourcePath,
                         QString* error = nullptr);

}  // namespace platform
