// voltaro-cli export IN.vtr --translated|--raw OUT.txt: every block of every
// session, in order, as the export of all sessions writes them.

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/TextTransfer.h"

namespace voltaro::cli {

int ExportCommand(const QStringList& args) {
    unsigned command = 0;
    if (args.size() == 3 && args[1] == QLatin1String("--translated"))
        command = ID_EXPORT_TRANSLATED;
    else if (args.size() == 3 && args[1] == QLatin1String("--raw"))
        command = ID_EXPORT_RAW;
    if (command == 0) {
        writeError(QStringLiteral("usage: voltaro-cli export IN.vtr --translated|--raw OUT.txt"));
        return 2;
    }
    CMainDoc doc(true);
    if (!loadProjectForCommand(args[0], doc))
        return 1;
    std::vector<CViewTreeItem*> all;
    for (CDataModule* session : doc.m_sessions)
        all.push_back(session);
    QString error;
    if (!ExportBlocksToFile(args[2], BlocksToExport(all), command, &error)) {
        writeError(error);
        return 1;
    }
    return 0;
}

}  // namespace voltaro::cli
