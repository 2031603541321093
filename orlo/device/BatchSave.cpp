#include "orlo/device/BatchSave.h"

#include <QDir>
#include <QFileInfo>

namespace orlo {

namespace {

const char* kFilter = "*.orl (ORLO Data File)|*.orl|*.* (All Files)|*.*";

// The folder part (without a trailing delimiter) and the file-name part of a path.
void splitPath(const QString& path, QString& folder, QString& name) {
    const QString p = QDir::fromNativeSeparators(path);
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    folder = slash < 0 ? QString() : p.left(slash);
    name = slash < 0 ? p : p.mid(slash + 1);
}

// Block number index's record for its file, dated: FillRecord's count, and for a
// block that cannot be read (-1) the message naming it.
int fillBlockForFile(const TOrloMemory& memory, int index, const std::string& dateText,
                     TDataBlock& block, QString& error) {
    block.DateText = dateText;
    QString reason;
    const int n = memory.FillRecord(memory.Blocks[std::size_t(index)], block, &reason);
    if (n < 0)
        error = BlockLoadError(index, reason);
    return n;
}

}  // namespace

platform::FileDialogRequest SaveDataDialogRequest(const QString& path) {
    platform::FileDialogRequest r;
    QString folder, name;
    splitPath(path, folder, name);
    r.directory = folder;
    r.fileName = path;
    r.filter = platform::qtFilterFromPairs(QString::fromLatin1(kFilter));
    r.defaultSuffix = QStringLiteral("orl");
    r.confirmOverwrite = false;  // the batch save asks for every file itself
    return r;
}

QString FilesWrittenText(int count) {
    return count == 1 ? QStringLiteral("%1 file succesfully written.").arg(count)
                      : QStringLiteral("%1 files succesfully written.").arg(count);
}

TBatchSaveResult SaveAllBlocks(const TOrloMemory& memory, TBatchSaveSettings& settings,
                               platform::Prompts& prompts, const std::string& dateText) {
    TBatchSaveResult result;
    result.Text = QStringLiteral("0 files saved.");
    if (memory.Blocks.empty())
        return result;
    TSaveName name = MakeSaveName(settings.DefaultFolder, settings.DefaultFileName);
    if (!name.Ok) {
        prompts.error(name.Error);
        return result;
    }
    bool yesToAll = false;
    int number = name.Number;
    for (int index = 0; index < memory.BlockCount(); ++index) {
        TDataBlock block;
        QString error;
        const int n = fillBlockForFile(memory, index, dateText, block, error);
        if (n < 0) {
            result.Faulty << error;
            prompts.error(error);
            continue;
        }
        if (n == 0)
            continue;  // could never be opened again: no file, no number
        bool decided = false;
        QString path;
        while (!decided) {
            path = BatchFileName(name.Folder, name.BaseName, number);
            if (yesToAll || !QFileInfo::exists(path)) {
                decided = true;
                break;
            }
            const platform::Button answer = prompts.askYesNoCancelYesToAll(
                QStringLiteral("Filename ") + path + QStringLiteral(" already exists. Rewrite?"));
            if (answer == platform::Button::Yes) {
                decided = true;
            } else if (answer == platform::Button::YesToAll) {
                yesToAll = true;
                decided = true;
            } else if (answer == platform::Button::No) {
                if (const auto chosen =
                        prompts.saveFileName(SaveDataDialogRequest(settings.SaveEdit)))
                    settings.SaveEdit = *chosen;
                splitPath(settings.SaveEdit, settings.DefaultFolder, settings.DefaultFileName);
                name = MakeSaveName(settings.DefaultFolder, settings.DefaultFileName);
                if (!name.Ok) {
                    prompts.error(name.Error);
                    result.Cancelled = true;
                    break;
                }
                number = name.Number;
            } else {
                result.Cancelled = true;
                break;
            }
        }
        if (result.Cancelled)
            break;
        const TWriteResult w = WriteDataFile(path, block);
        ++number;
        if (!w.Ok) {
            result.Failed << path;
            prompts.error(w.Error + QStringLiteral("\r\n") + QDir::toNativeSeparators(path));
            continue;
        }
        ++result.Count;
        result.Text = FilesWrittenText(result.Count);
    }
    prompts.message({platform::Icon::Information,
                     {},
                     result.Text,
                     platform::Button::Yes,
                     platform::Button::Yes});
    return result;
}

TBlockFilesResult WriteBlockFiles(const TOrloMemory& memory, const QString& folder,
                                  const QString& name, bool overwrite,
                                  const std::string& dateText) {
    TBlockFilesResult r;
    const TSaveName saveName = MakeSaveName(folder, name);
    if (!saveName.Ok) {
        r.Error = saveName.Error;
        return r;
    }
    std::vector<std::pair<QString, TDataBlock>> files;
    int number = saveName.Number;
    for (int index = 0; index < memory.BlockCount(); ++index) {
        TDataBlock block;
        QString error;
        const int n = fillBlockForFile(memory, index, dateText, block, error);
        if (n < 0) {
            r.Faulty.push_back({index + 1, error});
            continue;
        }
        if (n == 0) {
            ++r.Skipped;
            continue;
        }
        const QString path = BatchFileName(saveName.Folder, saveName.BaseName, number++);
        if (!overwrite && QFileInfo::exists(path)) {
            r.Error = QStringLiteral("Filename ") + QDir::toNativeSeparators(path) +
                      QStringLiteral(" already exists.");
            return r;
        }
        files.emplace_back(path, std::move(block));
    }
    for (const auto& [path, block] : files) {
        const TWriteResult w = WriteDataFile(path, block);
        if (!w.Ok) {
            r.Error = w.Error + QLatin1Char(' ') + QDir::toNativeSeparators(path);
            return r;
        }
        r.Written << path;
    }
    r.Ok = true;
    return r;
}

}  // namespace orlo
