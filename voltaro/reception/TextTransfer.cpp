#include "voltaro/reception/TextTransfer.h"

#include "platform/core/Prompts.h"
#include "platform/core/TextCodec.h"
#include "voltaro/model/CDataBlock.h"
#include "voltaro/model/CDataModule.h"
#include "voltaro/model/CMainDoc.h"
#include "voltaro/model/ItemEnvironment.h"
#include "voltaro/reception/StreamReading.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <memory>

namespace voltaro {
namespace {

constexpr const char* kTextFilter = "Text Files (*.txt);;All Files (*.*)";

QString fileFailure(const QString& verb, const QString& path, const QString& detail) {
    return QStringLiteral("Cannot %1 the file \"%2\".\n%3")
        .arg(verb, QDir::toNativeSeparators(path), detail);
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

}  // namespace

std::vector<const CDataBlock*> BlocksToExport(const std::vector<CViewTreeItem*>& selected) {
    std::vector<const CDataBlock*> blocks;
    std::vector<const CDataModule*> sessions;
    for (const CViewTreeItem* item : selected) {
        if (const auto* session = dynamic_cast<const CDataModule*>(item)) {
            sessions.push_back(session);
            for (const CDataBlock* block : session->m_blocks)
                if (std::find(blocks.begin(), blocks.end(), block) == blocks.end())
                    blocks.push_back(block);
        } else if (const auto* block = dynamic_cast<const CDataBlock*>(item)) {
            const CDataModule* owner = block->GetSession();
            if (owner && std::find(sessions.begin(), sessions.end(), owner) != sessions.end())
                continue;
            // Nothing is written twice, whatever order the items come in.
            if (std::find(blocks.begin(), blocks.end(), block) == blocks.end())
                blocks.push_back(block);
        }
    }
    return blocks;
}

bool CanExportSelection(const std::vector<CViewTreeItem*>& selected) {
    return !BlocksToExport(selected).empty();
}

bool WriteBlocks(QIODevice& out, const std::vector<const CDataBlock*>& blocks, unsigned nCmd) {
    if (nCmd != ID_EXPORT_TRANSLATED && nCmd != ID_EXPORT_RAW)
        return false;
    for (const CDataBlock* block : blocks) {
        if (block->Export(out, nCmd) != 0)
            return false;
    }
    if (nCmd == ID_EXPORT_RAW)
        return out.write(&kRawExportEnd, 1) == 1;
    return true;
}

bool ExportBlocksToFile(const QString& path, const std::vector<const CDataBlock*>& blocks,
                        unsigned nCmd, QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        setError(error, fileFailure(QStringLiteral("create"), path, file.errorString()));
        return false;
    }
    if (!WriteBlocks(file, blocks, nCmd)) {
        const QString detail = file.errorString();
        file.cancelWriting();
        setError(error, fileFailure(QStringLiteral("write"), path, detail));
        return false;
    }
    if (!file.commit()) {
        setError(error, fileFailure(QStringLiteral("write"), path, file.errorString()));
        return false;
    }
    return true;
}

bool OnExportSelected(CMainDoc& doc, platform::Prompts& prompts,
                      const std::vector<CViewTreeItem*>& selected, unsigned nCmd,
                      DocumentView* pSender) {
    platform::FileDialogRequest request;
    request.filter = QString::fromLatin1(kTextFilter);
    request.defaultSuffix = QStringLiteral("txt");
    request.confirmOverwrite = true;
    const auto path = prompts.saveFileName(request);
    if (!path)
        return false;
    doc.UpdateAllViews(pSender, HINT_STORE_EDITS);
    QString error;
    if (!ExportBlocksToFile(*path, BlocksToExport(selected), nCmd, &error)) {
        prompts.error(error);
        return false;
    }
    return true;
}

std::string ImportedSessionName(const QString& path) {
    return platform::fromQt(QFileInfo(path).completeBaseName());
}

bool ImportRawText(CDataModule& session, const QString& path, const ParserList& parsers,
                   QString* error, CreatedTextFn createdText) {
    // The entry text keeps the backslashes before its quotation marks.
    AddProtocolEntry(session, "Session imported %1 from file \\\"" +
                                  platform::fromQt(QDir::toNativeSeparators(path)) + "\\\"");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, fileFailure(QStringLiteral("open"), path, file.errorString()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        setError(error, fileFailure(QStringLiteral("read"), path, file.errorString()));
        return false;
    }
    StreamReading reading(session, parsers, {}, std::move(createdText));
    for (const char c : bytes) {
        // A NUL byte is no character of a text line; the receiver takes 0 for
        // "nothing arrived".
        if (c != '\0' && !reading.Feed(static_cast<std::uint8_t>(c)))
            break;
    }
    return true;
}

CDataModule* OnImportRawText(CMainDoc& doc, platform::Prompts& prompts, const ParserList& parsers,
                             CreatedTextFn createdText) {
    platform::FileDialogRequest request;
    request.filter = QString::fromLatin1(kTextFilter);
    request.defaultSuffix = QStringLiteral("txt");
    const auto path = prompts.openFileName(request);
    if (!path)
        return nullptr;
    auto session = std::make_unique<CDataModule>(&doc);
    QString error;
    if (!ImportRawText(*session, *path, parsers, &error, std::move(createdText))) {
        prompts.error(error);
        return nullptr;
    }
    session->SetName(ImportedSessionName(*path), false, nullptr);
    return doc.AddSession(std::move(session));
}

}  // namespace voltaro
