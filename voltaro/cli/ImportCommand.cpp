// voltaro-cli import RAW.txt --out OUT.vtr [--parsers DIR]: a new project with
// the session the raw-text import makes of the file. A file in which no parser
// found a block still gives its (empty) session, with a note on stderr.

#include "voltaro/cli/CliOutput.h"
#include "voltaro/cli/CliParsers.h"
#include "voltaro/cli/Commands.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/reception/ParserList.h"
#include "voltaro/reception/TextTransfer.h"

#include <QDir>

#include <memory>

namespace voltaro::cli {

int ImportCommand(const QStringList& args) {
    QString input;
    QString output;
    QString folder = DefaultParserFolder();
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--out") && i + 1 < args.size()) {
            output = args[++i];
        } else if (a == QLatin1String("--parsers") && i + 1 < args.size()) {
            folder = args[++i];
        } else if (!a.startsWith(QLatin1String("--")) && input.isEmpty()) {
            input = a;
        } else {
            input.clear();
            break;
        }
    }
    if (input.isEmpty() || output.isEmpty()) {
        writeError(
            QStringLiteral("usage: voltaro-cli import RAW.txt --out OUT.vtr [--parsers DIR]"));
        return 2;
    }
    ParserList parsers;
    BuildCommandParserList(parsers, folder);
    CMainDoc doc(true);
    auto session = std::make_unique<CDataModule>(&doc);
    QString error;
    if (!ImportRawText(*session, input, parsers, &error)) {
        writeError(error);
        return 1;
    }
    if (session->m_blocks.GetCount() == 0)
        writeError(QStringLiteral("no block found in \"%1\": no parser recognised a header "
                                  "line (definition files are read from %2)")
                       .arg(input, QDir::toNativeSeparators(folder)));
    session->SetName(ImportedSessionName(input), false, nullptr);
    doc.AddSession(std::move(session));
    FreeParserList(parsers);
    if (!doc.OnSaveDocument(output, &error)) {
        writeError(error);
        return 1;
    }
    return 0;
}

}  // namespace voltaro::cli
