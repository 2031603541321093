#pragma once
// The batch save of a download: every block with samples into a numbered data file.

#include "orlo/device/TOrloMemory.h"
#include "platform/core/Prompts.h"

#include <QString>

#include <string>
#include <vector>

namespace orlo {

// The save settings of the Data Reading window; the batch save updates them when
// the user picks another name.
struct TBatchSaveSettings {
    QString DefaultFolder;
    QString DefaultFileName;
    QString SaveEdit;  // the hidden save-name field
};

struct TBatchSaveResult {
    int Count = 0;       // files written
    QString Text;        // for the file-count label and the closing box
    QStringList Failed;  // files that could not be written
    QStringList Faulty;  // reports of blocks that could not be converted
    bool Cancelled = false;
};

// The save dialog of the window, with its extension and filter.
platform::FileDialogRequest SaveDataDialogRequest(const QString& path);

// Writes the blocks of memory as folder + name + number + ".orl". Before replacing a
// file it asks (Yes, No: pick another name, Cancel, Yes to all). A block without
// samples is skipped and takes no number; a block that cannot be converted or
// written is reported and the save goes on with the next one. dateText stamps every
// file.
TBatchSaveResult SaveAllBlocks(const TOrloMemory& memory, TBatchSaveSettings& settings,
                               platform::Prompts& prompts, const std::string& dateText);

// The batch save's naming without questions, for the command line: every block
// with samples into folder as name + number + ".orl". Unless overwrite is set, an
// existing file stops everything before anything is written. A block that cannot be
// converted takes no number either; it is listed in Faulty and the others are
// still written (Ok stays true).
struct TFaultyBlock {
    int Number = 0;  // from 1, in memory order
    QString Error;   // BlockLoadError's text
};
struct TBlockFilesResult {
    bool Ok = false;
    QString Error;
    QStringList Written;
    int Skipped = 0;  // blocks without samples
    std::vector<TFaultyBlock> Faulty;
};
TBlockFilesResult WriteBlockFiles(const TOrloMemory& memory, const QString& folder,
                                  const QString& name, bool overwrite, const std::string& dateText);

// "1 file succesfully written." / "n files succesfully written."
QString FilesWrittenText(int count);

}  // namespace orlo
