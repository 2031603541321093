#pragma once
// Blocks out as text (translated: a commented header and a tab-separated table;
// raw: the device's own lines) and raw text back in as a new session.
//
// The tree owns the export commands and the document the import command; both
// call the operations here, which show nothing themselves except through the
// Prompts they are given.

#include "voltaro/reception/Receiver.h"

#include <QString>

#include <vector>

class QIODevice;

namespace platform {
class Prompts;
}

namespace voltaro {

class CDataBlock;
class CDataModule;
class CMainDoc;
class CViewTreeItem;
class DocumentView;
class ParserList;

inline constexpr unsigned ID_IMPORT_RAW_TEXT = 30062;
inline constexpr char kRawExportEnd = '\x0C';

// The blocks the selected tree items stand for, in tree order: a session gives
// all its blocks, a block is given once even when its session is selected too.
std::vector<const CDataBlock*> BlocksToExport(const std::vector<CViewTreeItem*>& selected);
// Whether the export commands are enabled for this selection.
bool CanExportSelection(const std::vector<CViewTreeItem*>& selected);

// Writes the blocks in the form of the command (ID_EXPORT_TRANSLATED or
// ID_EXPORT_RAW); a raw export ends with one form feed and no line end.
bool WriteBlocks(QIODevice& out, const std::vector<const CDataBlock*>& blocks, unsigned nCmd);
// The same into a file, replaced only when everything was written.
bool ExportBlocksToFile(const QString& path, const std::vector<const CDataBlock*>& blocks,
                        unsigned nCmd, QString* error = nullptr);
// The export command: asks for the file, lets the views store their edits,
// writes, and shows a failure. False when cancelled or failed.
bool OnExportSelected(CMainDoc& doc, platform::Prompts& prompts,
                      const std::vector<CViewTreeItem*>& selected, unsigned nCmd,
                      DocumentView* pSender = nullptr);

// Reads a raw text file into the session through the receiver's line handling:
// blocks are created and named by the parsers and the samples appended offline.
// A finished transmission (a KOVA form feed) ends the reading early. Writes the
// import entry into the session's protocol first. False when the file cannot
// be read.
bool ImportRawText(CDataModule& session, const QString& path, const ParserList& parsers,
                   QString* error = nullptr, CreatedTextFn createdText = LocalDateTimeText);
// The import command: asks for the file, imports it into a new session named
// after the file and appends that to the document. Null when cancelled or failed.
CDataModule* OnImportRawText(CMainDoc& doc, platform::Prompts& prompts, const ParserList& parsers,
                             CreatedTextFn createdText = LocalDateTimeText);
// The session name of an imported file: its name without folder and extension.
std::string ImportedSessionName(const QString& path);

}  // namespace voltaro
