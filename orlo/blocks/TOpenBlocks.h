#pragma once
// The blocks open in the reader's main window, in grid order.
//
// Kept apart from the widgets (its own folder, Qt Core only) so that the rules of
// the open-block list -- which row is current, what Save, Save As and Close must ask
// or do, the style a new block gets -- are decided in one place that the tests drive
// without a window. The grid shows the rows, the chart draws their series, the main
// window turns the save steps into prompts and dialogs; none of them keeps a copy of
// a row's path or shown flag.
//
// Entry i of DataList is grid row i at all times. Blocks are held by pointer so that
// a block keeps its address while rows come and go: the chart keys its series by it.

#include "orlo/data/TDataBlock.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace orlo {

struct TOpenBlock {
    std::unique_ptr<TDataBlock> Block;
    // The data file; empty for a downloaded block that was never saved.
    QString Path;
    // What the grid shows: the file name up to the first ".orl", or "tmp" + number.
    QString Name;
    bool Shown = false;
    int StyleIndex = 0;

    bool HasFile() const { return !Path.isEmpty(); }
    // The path, or the name of a block that has no file yet (as dialog titles say it).
    const QString& PathText() const { return HasFile() ? Path : Name; }
};

// What saving a row takes, in order. The caller asks and writes; nothing here shows
// a dialog or touches the file.
struct TSaveSteps {
    enum Kind {
        Nothing,  // no block, or asked about an unmodified block: nothing to save
        SaveAs,   // the block has no file: the Save As dialog (SaveAsTitle) decides
        Save      // write to Path, after Question and the missing-file dialog if set
    };
    Kind Action = Nothing;
    // Not empty: a Yes/No question; anything but Yes ends without saving.
    QString Question;
    // Not empty: the file is gone; a save dialog with this title picks the new path.
    QString MissingFileTitle;
    QString Path;
};

class TOpenBlocks : public QObject {
    Q_OBJECT
public:
    static constexpr int NoFreeStyle = 255;

    explicit TOpenBlocks(QObject* parent = nullptr);
    ~TOpenBlocks() override;

    const std::vector<TOpenBlock>& DataList() const { return list_; }
    int Count() const { return static_cast<int>(list_.size()); }
    bool Empty() const { return list_.empty(); }
    bool Exists(int row) const { return row >= 0 && row < Count(); }
    // nullptr for a row out of range.
    const TOpenBlock* Entry(int row) const;
    TDataBlock* Block(int row) const;

    // The row of the current block, -1 when none. Not checked against the rows: the
    // window may name a row before it checks it.
    int ActualRow() const { return actualRow_; }
    void SetActualRow(int row);

    // A block read from a data file: shown, unmodified as read. Returns its row.
    int AddFile(std::unique_ptr<TDataBlock> block, const QString& path);
    // Block k (from 0) of a download: named "tmp" + (k + 1), hidden, modified.
    int AddDownload(std::unique_ptr<TDataBlock> block, int k);

    // Takes a row out of the list; the current row stays on its block, or, when the
    // removed row was current, moves to the row that takes its place (the one above
    // when it was the last). Out of range: nothing happens.
    void Remove(int row);
    void Clear();
    // The row that is current after removing `removed` from `count` rows while
    // `current` was: the rule Remove follows, for the grid's selection too.
    static int RowAfterRemoval(int removed, int current, int count);

    void SetShown(int row, bool shown);
    // After Save As or a rename in the folder tree: the row's file and its name.
    void SetPath(int row, const QString& path);
    // The first row whose file is path, -1 when the file is not open.
    int FindPath(const QString& path) const;

    // Lowest style index no open block uses; NoFreeStyle when all five are taken.
    int GetFirstPossibleGrafColorIndex() const;

    // What GridSaveFile must do for the row; ask: only a modified block is saved, and
    // only when the user agrees. fileExists tells whether the row's file is there.
    TSaveSteps SaveSteps(int row, bool ask, bool fileExists) const;
    // The same, looking at the file system.
    TSaveSteps SaveSteps(int row, bool ask) const;
    // Title of the Save As dialog of the row.
    QString SaveAsTitle(int row) const;

signals:
    void RowAdded(int row);
    // Emitted after the row left the list; the rows below moved up by one.
    void RowRemoved(int row);
    void Cleared();
    // Path, name or shown flag of the row changed.
    void RowChanged(int row);

private:
    int add(TOpenBlock entry);

    std::vector<TOpenBlock> list_;
    int actualRow_ = -1;
};

// The display name of a data file: its file name up to the first ".orl".
QString BlockDisplayName(const QString& path);

}  // namespace orlo
