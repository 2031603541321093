#include "orlo/workspace/FileUtils.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>

namespace orlo {

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

}  // namespace orlo
