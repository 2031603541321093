#pragma once
// File operations that go through the desktop rather than a plain file call, and
// the export dialog the grid and the folder tree share.

#include "platform/core/Prompts.h"

#include <QString>

namespace orlo {

// The save dialog of a text export: in `folder`, offering `source` (a file path or
// a block name) with ".csv" in place of its extension.
platform::FileDialogRequest CsvExportRequest(const QString& folder, const QString& source);

// Moves a file or folder to the trash (recycle bin). False, with the reason in
// error when given, if the platform has no trash or the move failed; the item is
// then left where it was.
bool DeleteToRecycleBin(const QString& path, QString* error = nullptr);

// Renames or moves a file (isDir false) or folder to `to`, never replacing an
// existing entry: false when `to` exists or the rename failed.
bool RenameEntry(const QString& from, const QString& to, bool isDir);

// `path` when nothing exists there, else the first free "path (1)", "path (2)", ...
QString FreeEntryName(const QString& path);

}  // namespace orlo
