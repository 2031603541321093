#include "orlo/workspace/FileUtils.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace orlo {

platform::FileDialogRequest CsvExportRequest(const QString& folder, const QString& source) {
    QString csv = source;
    const QString suffix = QFileInfo(source).suffix();
    if (!suffix.isEmpty())
        csv.chop(suffix.size() + 1);
    platform::FileDialogRequest request;
    request.directory = folder;
    request.fileName = csv + QStringLiteral(".csv");
    request.filter = platform::qtFilterFromPairs(QStringLiteral("*.csv|*.csv|*.* (All Files)|*.*"));
    request.defaultSuffix = QStringLiteral("csv");
    request.confirmOverwrite = true;
    return request;
}

bool DeleteToRecycleBin(const QString& path, QString* error) {
    if (!QFileInfo::exists(path)) {
        if (error)
            *error = QStringLiteral("The item does not exist.");
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QFile file(path);
    const bool ok = file.moveToTrash();
    QApplication::restoreOverrideCursor();
    if (!ok && error)
        *error = file.errorString();
    return ok;
}

bool RenameEntry(const QString& from, const QString& to, bool isDir) {
    // The platform's rename would replace an existing file.
    if (QFileInfo::exists(to))
        return false;
    return isDir ? QDir().rename(from, to) : QFile::rename(from, to);
}

QString FreeEntryName(const QString& path) {
    if (!QFileInfo::exists(path))
        return path;
    for (int n = 1;; ++n) {
        const QString candidate = path + QStringLiteral(" (%1)").arg(n);
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

}  // namespace orlo
