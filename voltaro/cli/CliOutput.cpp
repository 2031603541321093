#include "voltaro/cli/CliOutput.h"

#include "voltaro/model/CMainDoc.h"

namespace voltaro::cli {

bool loadProjectForCommand(const QString& path, CMainDoc& doc) {
    QString error;
    if (!doc.OnOpenDocument(path, &error)) {
        writeError(error);
        return false;
    }
    return true;
}

}  // namespace voltaro::cli
