// Names of the files of a batch save: folder + stem + three-digit number + ".orl".

#include "orlo/data/TDataBlock.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace orlo {

TSaveName MakeSaveName(const QString& defaultFolder, const QString& defaultFileName) {
    TSaveName r;
    QString fileName = defaultFileName;
    if (fileName.isEmpty())
        fileName = QStringLiteral("Block");

    QString folder = defaultFolder.isEmpty() ? QStringLiteral("./Data") : defaultFolder;
    if (!folder.endsWith(QLatin1Char('/')) && !folder.endsWith(QLatin1Char('\\')))
        folder += QLatin1Char('/');
    if (!QDir().mkpath(folder)) {
        r.Error = QStringLiteral("Cannot create directory") + folder;
        return r;
    }

    const qsizetype cut =
        std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char('\\')));
    QString base = fileName.mid(cut + 1);
    const qsizetype p = base.indexOf(QLatin1Char('.')) + 1;  // 1-based, 0 when none
    if (p > 0)
        base = base.left(p - 1);

    int number = 0;
    if (p > 3) {
        const QString digits = base.right(3);
        bool allDigits = true;
        for (QChar c : digits)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                allDigits = false;
        if (allDigits) {
            number = digits.toInt();
            base.chop(3);
        }
    }

    r.Ok = true;
    r.Folder = folder;
    r.BaseName = base;
    r.Number = number;
    return r;
}

QString BatchFileName(const QString& folder, const QString& baseName, int number) {
    return folder + baseName + QString::asprintf("%.3d", number) + QStringLiteral(".orl");
}

}  // namespace orlo
