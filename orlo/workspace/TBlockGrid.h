#pragma once
// The open blocks of the main window: the block list (TOpenBlocks), the grid rows and
// the chart series kept in step, and the file commands that act on a row.
//
// The list decides; the grid shows its rows (it follows the list's notifications) and
// the chart draws their series. Entry i of the list belongs to grid row i at all times.
// While no block is open the grid is hidden and holds one empty row.

#include "orlo/blocks/TOpenBlocks.h"
#include "orlo/chart/TBlockChart.h"
#include "orlo/chart/TQuantity.h"
#include "orlo/data/TDataBlock.h"
#include "orlo/workspace/TBlockInfoView.h"
#include "orlo/workspace/TFolderTree.h"
#include "orlo/workspace/TNotesEditor.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QAction;

namespace platform {
class Prompts;
}

namespace orlo {

class TOrloMemory;
class TStringGrid;

// How a save ended.
enum class TSaveOutcome {
    Saved,
    NotSaved,  // nothing to save, declined or cancelled
    Failed     // the write failed; the block keeps its changes
};

class TBlockGrid : public QObject {
    Q_OBJECT
public:
    struct Panels {
        TBlockChart& chart;
        TNotesEditor& notes;
        TBlockInfoView& info;
        TFolderTree& tree;
    };

    TBlockGrid(TStringGrid& grid, platform::Prompts& prompts, Panels panels,
               QObject* parent = nullptr);
    ~TBlockGrid() override;

    TOpenBlocks& Blocks() { return blocks_; }
    const TOpenBlocks& Blocks() const { return blocks_; }
    TBlockChart& Chart() const { return panels_.chart; }
    // Minimum width of the name column; 7 or less: the column keeps its width.
    int AutoGridSize = 10;
    // Whether the channel button of a quantity is down.
    std::function<bool(int quantity)> ChannelButtonDown;
    // The default data folder offered by the save dialogs.
    std::function<QString()> DefaultFolder;
    // Told when the grid appears (true) or disappears (false), for the page control.
    std::function<void(bool shown)> GridShown;
    // Told after a block was written to a file it did not have before.
    std::function<void(const QString& path)> FileCreated;

    TStringGrid& Grid() { return grid_; }
    bool GridVisible() const;
    int RowCount() const { return blocks_.Count(); }
    TDataBlock* Block(int row) const { return blocks_.Block(row); }

    // A data file (count 0) or the blocks of the last download (empty name, count
    // blocks of memory). The row of the last block added, or -1.
    int OpenBlocks(const QString& fileName, int count, const TOrloMemory* memory = nullptr);
    void CloseGridRow(int row);
    void RenameGridRow(int row, const QString& path);
    // 0 when nothing was exported, -1 after an error, else the export's result.
    int ExportBlock(int row);

    void GraphSeriesCheck(int quantity, bool show);
    void GridCheck(int row, bool show);
    void GridChangeActualFile(int newRow, int oldRow);
    TSaveOutcome GridSaveFile(int row, bool ask);
    TSaveOutcome GridSaveFileAs(int row);
    // False when the row stays open because its save failed.
    bool GridCloseFile(int row);
    void GridCloseAll();
    // Lowest style index no open block uses; 255 when all five are taken.
    int GetFirstPossibleGrafColorIndex() const;
    void SizeNameColumn();

    // The commands of the main window on the selected row.
    void SaveSelected();
    void SaveSelectedAs();
    void CloseSelected();
    void ExportSelected();

    // The grid's pop-up menu and the row it was opened for.
    QMenu* PopupGrid() const { return popup_; }
    int PopupRow() const { return popupRow_; }
    void OpenPopup(int row, const QPoint& globalPos);
    void SetPopupTag(int row);
    // The entries of the pop-up menu, on the row of its tag.
    void PopupSave();
    void PopupSaveAs();
    void PopupExport();
    void PopupDelete();

private:
    // The grid following the list.
    void onRowAdded(int row);
    void onRowRemoved(int row);
    void onRowChanged(int row);
    void onCleared();
    void showRow(int row);
    void hideEmptyGrid();

    void onRowSelected(int row);
    void onCheckToggled(int row, bool shown);
    bool popupRowExists() const;
    void fail(const QString& message, const char* tag);
    void releaseBlock(TDataBlock& block);
    void storePendingNotes(TDataBlock& block);
    QString saveFolder() const;
    void setRowPath(int row, const QString& path);

    TOpenBlocks blocks_;
    TStringGrid& grid_;
    platform::Prompts& prompts_;
    Panels panels_;
    QMenu* popup_ = nullptr;
    int popupRow_ = -1;
};

}  // namespace orlo
