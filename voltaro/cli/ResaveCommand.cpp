// voltaro-cli resave IN.vtr OUT.vtr: loads a project and saves it again, so files
// of older versions come out as version 5.

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/model/CMainDoc.h"

namespace voltaro::cli {

int ResaveCommand(const QStringList& args) {
    if (args.size() != 2) {
        writeError(QStringLiteral("usage: voltaro-cli resave IN.vtr OUT.vtr"));
        return 2;
    }
    CMainDoc doc(true);
    if (!loadProjectForCommand(args[0], doc)) {
        return 1;
    }
    QString error;
    if (!doc.OnSaveDocument(args[1], &error)) {
        writeError(error);
        return 1;
    }
    return 0;
}

}  // namespace voltaro::cli
