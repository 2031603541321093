// orlo-cli decode IMAGE --out DIR [--name NAME] [--overwrite]: the blocks of a
// recorded memory reply (the bytes after "D") as data files.

#include "orlo/cli/BlockOutput.h"
#include "orlo/cli/CliOutput.h"
#include "orlo/cli/Commands.h"
#include "orlo/device/BatchSave.h"
#include "orlo/device/MemoryDownload.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace orlo::cli {

bool takeBlockOutputOptions(QStringList& args, BlockOutputOptions& o, QString& error) {
    for (qsizetype i = 0; i < args.size();) {
        const QString a = args[i];
        if (a == QLatin1String("--overwrite")) {
            o.Overwrite = true;
            args.removeAt(i);
        } else if (a == QLatin1String("--out") || a == QLatin1String("--name")) {
            if (i + 1 >= args.size()) {
                error = a + QStringLiteral(" needs a value");
                return false;
            }
            (a == QLatin1String("--out") ? o.OutDir : o.Name) = args[i + 1];
            args.remove(i, 2);
        } else {
            ++i;
        }
    }
    if (o.OutDir.isEmpty()) {
        error = QStringLiteral("--out DIR is required");
        return false;
    }
    return true;
}

int writeBlocksForCommand(const TOrloMemory& memory, const BlockOutputOptions& o) {
    const TBlockFilesResult r =
        WriteBlockFiles(memory, o.OutDir, o.Name, o.Overwrite, NowDateText());
    for (const TFaultyBlock& f : r.Faulty)
        writeError(f.Error);
    if (!r.Ok) {
        writeError(r.Error);
        return 1;
    }
    // Paths are the system's text, not 8-bit file text: straight to UTF-8.
    const QByteArray files =
        QJsonDocument(QJsonArray::fromStringList(r.Written)).toJson(QJsonDocument::Compact);
    std::string json = "{\"Blocks\":" + std::to_string(memory.BlockCount()) +
                       ",\"Skipped\":" + std::to_string(r.Skipped) + ",\"Faulty\":[";
    for (std::size_t i = 0; i < r.Faulty.size(); ++i)
        json += (i ? "," : "") + std::to_string(r.Faulty[i].Number);
    json += "],\"Files\":";
    json.append(files.constData(), std::size_t(files.size()));
    json += "}\n";
    writeOut(json);
    // The good blocks are saved, but a script must still learn that one was lost.
    return r.Faulty.empty() ? 0 : 1;
}

int DecodeCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    BlockOutputOptions o;
    QString error;
    if (!takeBlockOutputOptions(args, o, error) || args.size() != 1) {
        writeError(error.isEmpty() ? QStringLiteral("usage: orlo-cli decode IMAGE --out DIR "
                                                    "[--name NAME] [--overwrite]")
                                   : error);
        return 2;
    }
    QFile f(args[0]);
    if (!f.open(QIODevice::ReadOnly)) {
        writeError(args[0] + QStringLiteral(": ") + f.errorString());
        return 1;
    }
    const QByteArray bytes = f.readAll();
    TOrloMemory memory;
    const TDecodeResult d = DecodeMemoryReply(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())},
        memory);
    if (!d.Ok) {
        writeError(d.Error);
        return 1;
    }
    return writeBlocksForCommand(memory, o);
}

}  // namespace orlo::cli
