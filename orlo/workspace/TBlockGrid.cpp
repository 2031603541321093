// Opening, closing, renaming and exporting grid rows, the grid's input and its
// pop-up menu. The routines that keep a row's block, series and notes in step are in
// GridRoutines.cpp.
#include "orlo/workspace/TBlockGrid.h"

#include "orlo/workspace/FileUtils.h"

#include "orlo/device/TOrloMemory.h"
#include "orlo/workspace/TStringGrid.h"
#include "platform/core/Prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QMenu>

#include <exception>

namespace orlo {

TBlockGrid::TBlockGrid(TStringGrid& grid, platform::Prompts& prompts, Panels panels,
                       QObject* parent)
    : QObject(parent), grid_(grid), prompts_(prompts), panels_(panels) {
    grid_.SetRowCount(1);
    grid_.hide();
    connect(&blocks_, &TOpenBlocks::RowAdded, this, &TBlockGrid::onRowAdded);
    connect(&blocks_, &TOpenBlocks::RowRemoved, this, &TBlockGrid::onRowRemoved);
    connect(&blocks_, &TOpenBlocks::RowChanged, this, &TBlockGrid::onRowChanged);
    connect(&blocks_, &TOpenBlocks::Cleared, this, &TBlockGrid::onCleared);
    connect(&grid_, &TStringGrid::RowSelected, this, &TBlockGrid::onRowSelected);
    connect(&grid_, &TStringGrid::CheckToggled, this, &TBlockGrid::onCheckToggled);
    connect(&grid_, &TStringGrid::CloseRequested, this, &TBlockGrid::CloseGridRow);
    connect(&grid_, &TStringGrid::PopupRequested, this, &TBlockGrid::OpenPopup);
    connect(&grid_, &TStringGrid::Resized, this, &TBlockGrid::SizeNameColumn);

    popup_ = new QMenu(&grid_);
    popup_->setObjectName(QStringLiteral("PopupGrid"));
    QAction* close = popup_->addAction(QStringLiteral("Close Data"), this, [this] {
        if (popupRowExists())
            CloseGridRow(popupRow_);
    });
    close->setVisible(false);
    popup_->addAction(QStringLiteral("Save"), this, &TBlockGrid::PopupSave);
    popup_->addAction(QStringLiteral("Save As"), this, &TBlockGrid::PopupSaveAs);
    popup_->addAction(QStringLiteral("Export"), this, &TBlockGrid::PopupExport);
    popup_->addAction(QStringLiteral("Delete"), this, &TBlockGrid::PopupDelete);
    popup_->addAction(QStringLiteral("Cancel"));
}

TBlockGrid::~TBlockGrid() = default;

bool TBlockGrid::GridVisible() const {
    return !grid_.isHidden();
}

void TBlockGrid::onRowAdded(int row) {
    if (GridVisible()) {
        grid_.SetRowCount(row + 1);
    } else {
        grid_.SetRowCount(1);
        grid_.show();
        grid_.SetRowSilently(0);
        if (GridShown)
            GridShown(true);
        SizeNameColumn();
    }
    showRow(row);
}

void TBlockGrid::onRowRemoved(int row) {
    if (blocks_.Empty())
        hideEmptyGrid();
    else
        grid_.RemoveRowSilently(row);
}

void TBlockGrid::onRowChanged(int row) {
    if (row < grid_.RowCount())
        showRow(row);
}

void TBlockGrid::onCleared() {
    hideEmptyGrid();
}

void TBlockGrid::hideEmptyGrid() {
    grid_.SetRowCount(1);
    for (int col = 0; col <= TStringGrid::ColPath; ++col)
        grid_.SetCells(col, 0, QString());
    if (grid_.isHidden())
        return;
    grid_.hide();
    if (GridShown)
        GridShown(false);
}

void TBlockGrid::showRow(int row) {
    const TOpenBlock* e = blocks_.Entry(row);
    if (!e)
        return;
    // The hidden column holds what the grid's hint shows over the name.
    grid_.SetCells(TStringGrid::ColPath, row, e->PathText());
    grid_.SetCells(TStringGrid::ColShow, row, e->Shown ? QStringLiteral("1") : QStringLiteral("0"));
    grid_.SetCells(TStringGrid::ColName, row, e->Name);
}

QString TBlockGrid::saveFolder() const {
    return DefaultFolder ? DefaultFolder() : QString();
}

void TBlockGrid::setRowPath(int row, const QString& path) {
    blocks_.SetPath(row, path);
    // The legend and the right panel name the block too; a saved "tmp" row keeps no old name.
    if (TDataBlock* block = Block(row)) {
        const QString& name = blocks_.Entry(row)->Name;
        panels_.chart.RenameBlockSeries(*block, name);
        if (row == blocks_.ActualRow())
            panels_.info.ShowBlockInfo(BlockInfoTexts(*block, name));
    }
}

int TBlockGrid::OpenBlocks(const QString& fileName, int count, const TOrloMemory* memory) {
    if (count < 0)
        return -1;
    const bool memoryMode = fileName.isEmpty() && count > 0;
    if (memoryMode && !memory)
        return -1;
    int lastRow = -1;
    for (int k = 0; k <= count; ++k) {
        auto block = std::make_unique<TDataBlock>();
        if (memoryMode) {
            int n = BlockFailed;
            QString error;
            try {
                n = memory->BlockToRecord(k, *block, &error);
            } catch (const std::exception& e) {
                prompts_.error(QStringLiteral("Error in reading memory block! \r\n") +
                               QStringLiteral("Block %1: ").arg(k + 1) +
                               QString::fromLocal8Bit(e.what()));
                continue;
            }
            // An empty block takes no row, nor does one that cannot be converted (it
            // is reported); the blocks after either still open.
            if (n == BlockNoSamples)
                continue;
            if (n == BlockFailed && !error.isEmpty()) {
                prompts_.error(error);
                continue;
            }
            if (n < 1)
                return -1;
        } else {
            if (!QFileInfo::exists(fileName))
                return -1;
            const TReadResult r = ReadDataFile(fileName, *block);
            // A read that failed part way (a malformed header number among them) leaves
            // a block that is not the file: opened, a plain Save would replace the file
            // with it. Such a file is refused like any other unreadable one.
            if (r.Outcome != TReadOutcome::Ok) {
                prompts_.error(QStringLiteral("Error by opening datafile \"") + fileName +
                               QStringLiteral("\"! \r\n") + r.Message);
                return -1;
            }
            if (r.Count < 1)
                return -1;
        }

        // The list tells the grid, which shows the new row.
        const int row = memoryMode ? blocks_.AddDownload(std::move(block), k)
                                   : blocks_.AddFile(std::move(block), fileName);
        const TOpenBlock& entry = *blocks_.Entry(row);
        panels_.chart.CreateBlockSeries(*entry.Block, entry.Name, entry.StyleIndex);
        if (!memoryMode)
            for (int q = QuantityVoltage; q <= QuantityAh; ++q)
                GraphSeriesCheck(q, ChannelButtonDown && ChannelButtonDown(q));
        if (grid_.RowCount() == 1)
            GridChangeActualFile(0, -1);
        SizeNameColumn();
        lastRow = row;
    }
    return memoryMode ? -1 : lastRow;
}

void TBlockGrid::CloseGridRow(int row) {
    if (row < 0 || row > grid_.RowCount() - 1 || row > RowCount() - 1) {
        prompts_.error(QStringLiteral(
            "Chyba při rušení řádku ze seznamu otevřených souborů! Řádek neexistuje!"));
        return;
    }
    const int selected = grid_.Row();
    const int rowsBefore = grid_.RowCount();
    // The editor holds the actual block's notes; keep them before the rows move.
    if (blocks_.ActualRow() != row)
        if (TDataBlock* actual = Block(blocks_.ActualRow()))
            storePendingNotes(*actual);
    if (!GridCloseFile(row))
        return;
    panels_.tree.CancelGridRowFlag(row);
    if (rowsBefore == 1)
        return;  // the grid went away with its last block
    const int newSelected = TOpenBlocks::RowAfterRemoval(row, selected, rowsBefore);
    grid_.SetRowSilently(newSelected);
    GridChangeActualFile(newSelected, -1);
    SizeNameColumn();
}

void TBlockGrid::RenameGridRow(int row, const QString& path) {
    if (row < 0 || row > grid_.RowCount() - 1) {
        prompts_.error(
            QStringLiteral("Chyba při přejmenování seznamu otevřených souborů! Řádek neexistuje!"));
        return;
    }
    setRowPath(row, path);
}

int TBlockGrid::ExportBlock(int row) {
    const TDataBlock* block = Block(row);
    if (!block)
        return 0;
    const TOpenBlock& entry = *blocks_.Entry(row);
    const QString source = entry.PathText();
    const QFileInfo info(source);
    const bool hasFile = entry.HasFile();
    // A block that was never saved has no folder of its own.
    const platform::FileDialogRequest request = CsvExportRequest(
        hasFile ? info.absolutePath() : saveFolder(), hasFile ? source : info.fileName());
    const std::optional<QString> chosen = prompts_.saveFileName(request);
    if (!chosen || chosen->isEmpty())
        return 0;
    try {
        const TExportResult r = ExportText(source, *chosen, *block);
        if (r.Code < 0) {
            prompts_.error(r.Error);
            return r.Code;
        }
        prompts_.information(QStringLiteral("File ") + *chosen +
                             QStringLiteral(" successfully saved."));
        return r.Code;
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error by exporting datafile \"") + *chosen +
                       QStringLiteral("\"! \r\n") + QString::fromLocal8Bit(e.what()));
        return -1;
    }
}

void TBlockGrid::SizeNameColumn() {
    if (AutoGridSize <= 7)
        return;
    const int cols = TStringGrid::VisibleColCount;
    const int width = grid_.viewport()->width() - (cols - 1) * TStringGrid::DefaultColWidth - cols;
    grid_.setColumnWidth(TStringGrid::ColName, std::max(width, AutoGridSize));
}

void TBlockGrid::onRowSelected(int row) {
    GridChangeActualFile(row, blocks_.ActualRow());
}

void TBlockGrid::onCheckToggled(int row, bool shown) {
    blocks_.SetShown(row, shown);
    GridCheck(row, shown);
}

void TBlockGrid::SaveSelected() {
    if (!GridVisible())
        return;
    const int row = grid_.Row();
    GridChangeActualFile(row, blocks_.ActualRow());
    GridSaveFile(row, false);
}

void TBlockGrid::SaveSelectedAs() {
    if (GridVisible())
        GridSaveFileAs(grid_.Row());
}

void TBlockGrid::CloseSelected() {
    if (GridVisible())
        CloseGridRow(grid_.Row());
}

void TBlockGrid::ExportSelected() {
    if (GridVisible())
        ExportBlock(grid_.Row());
}

void TBlockGrid::OpenPopup(int row, const QPoint& globalPos) {
    popupRow_ = row;
    popup_->popup(globalPos);
}

void TBlockGrid::SetPopupTag(int row) {
    popupRow_ = row;
}

bool TBlockGrid::popupRowExists() const {
    return GridVisible() && popupRow_ >= 0 && popupRow_ < RowCount();
}

void TBlockGrid::PopupSave() {
    if (!popupRowExists())
        return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        GridChangeActualFile(popupRow_, blocks_.ActualRow());
        GridSaveFile(popupRow_, false);
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error by saving data!\r\n") +
                       QString::fromLocal8Bit(e.what()));
    }
    QApplication::restoreOverrideCursor();
}

void TBlockGrid::PopupSaveAs() {
    if (popupRowExists())
        GridSaveFileAs(popupRow_);
}

void TBlockGrid::PopupExport() {
    if (!popupRowExists())
        return;
    try {
        ExportBlock(popupRow_);
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error by exporting data!\r\n") +
                       QString::fromLocal8Bit(e.what()));
    }
}

void TBlockGrid::PopupDelete() {
    if (popupRowExists())
        CloseGridRow(popupRow_);
}

}  // namespace orlo
