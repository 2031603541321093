// The routines that keep a grid row, its block, its chart series and the notes
// editor in step: showing series, making a row actual, saving and closing.
#include "orlo/workspace/AssertDlg.h"
#include "orlo/workspace/TBlockGrid.h"
#include "orlo/workspace/TStringGrid.h"
#include "platform/core/Prompts.h"
#include "platform/core/TextCodec.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace orlo {
namespace {

// printf-style fixed notation, trimmed, with the user's decimal separator and no
// group separators.
QString fixed(double v, int decimals) {
    QString text = QString::number(v, 'f', decimals);
    return text.replace(QLatin1Char('.'), QLocale::system().decimalPoint());
}

TBlockChart::Axis axisOf(int quantity) {
    switch (quantity) {
        case QuantityVoltage:
            return TBlockChart::AxisLeft;
        case QuantityCurrent:
            return TBlockChart::AxisRight;
        case QuantityRpm:
            return TBlockChart::AxisRpm;
        default:
            return TBlockChart::AxisAh;
    }
}

platform::FileDialogRequest dataFileRequest(const QString& title, const QString& folder) {
    platform::FileDialogRequest r;
    r.title = title;
    r.directory = folder;
    r.defaultSuffix = QStringLiteral("orl");
    r.filter = platform::qtFilterFromPairs(QStringLiteral("Orlo data (orl)|*.orl"));
    return r;
}

}  // namespace

TBlockInfoTexts BlockInfoTexts(const TDataBlock& b, const QString& blockName) {
    TBlockInfoTexts t;
    t.BlockName = blockName;
    t.Date = platform::toQt(b.DateText);
    const double interval = b.Interval / 50.0;
    if (!b.Time.empty()) {
        t.FlyTime = FlyTimeText(b.Time.back());
        t.RecTime = RecTimeText(b.Time.back());
    }
    t.Sample = fixed(interval, 1);
    t.Ver = QStringLiteral("0");
    if (!b.Voltage.empty())
        t.MaxAlt =
            fixed(*std::max_element(b.Voltage.begin(), b.Voltage.end()), 1) + QStringLiteral(" V");
    t.MaxI = fixed(b.MaxI, 2);
    t.AvgI = fixed(b.AvgI, 2);
    t.MaxU = fixed(b.MaxU, 2);
    t.MinU = fixed(b.MinU, 2);
    t.AvgU = fixed(b.AvgU, 2);
    t.MaxP = fixed(b.MaxP, 2);
    t.AvgP = fixed(b.AvgP, 2);
    t.MaxR = fixed(b.MaxR, 0);
    t.BlockC = fixed(b.BlockC, 2);
    t.BlockE = fixed(b.BlockE, 2);
    t.SampRate = fixed(interval, 2);
    return t;
}

void TBlockGrid::fail(const QString& message, const char* tag) {
    prompts_.error(message + QLatin1Char('\r') + QString::fromLatin1(tag));
}

void TBlockGrid::storePendingNotes(TDataBlock& block) {
    if (!panels_.notes.IsModified())
        return;
    block.Notes = panels_.notes.SaveNotes();
    block.Modified = true;
    panels_.notes.SetModified(false);
}

int TBlockGrid::GetFirstPossibleGrafColorIndex() const {
    return blocks_.GetFirstPossibleGrafColorIndex();
}

void TBlockGrid::GraphSeriesCheck(int quantity, bool show) {
    if (!GridVisible())
        return;
    for (int row = 0; row < blocks_.Count(); ++row) {
        if (!blocks_.Entry(row)->Shown)
            continue;
        TDataBlock* block = Block(row);
        if (!block) {
            fail(QStringLiteral("Data record pointer invalid!"), "In GraphSeriesCheck.");
            return;
        }
        panels_.chart.SetSeriesActive(*block, quantity, show);
    }
    panels_.chart.RefitAxis(TBlockChart::AxisBottom);
    panels_.chart.RefitAxis(axisOf(quantity));
}

void TBlockGrid::GridCheck(int row, bool show) {
    if (row < 0 || row > RowCount() - 1) {
        ORLO_CHECK(false, QStringLiteral("Arow<=FormMain.DataList.count-1 in GridCheck"));
        fail(QStringLiteral("Data record not found in GridCheck!"), "In GridCheck.");
        return;
    }
    TDataBlock* block = Block(row);
    if (!ORLO_CHECK(block != nullptr, QStringLiteral("DataBlockPtr<>nil in GridCheck"))) {
        fail(QStringLiteral("Data record pointer invalid in GridCheck!"), "In GridCheck.");
        return;
    }
    for (int q = QuantityVoltage; q <= QuantityAh; ++q)
        panels_.chart.SetSeriesActive(*block, q, show && ChannelButtonDown && ChannelButtonDown(q));
    for (auto axis : {TBlockChart::AxisBottom, TBlockChart::AxisLeft, TBlockChart::AxisRight,
                      TBlockChart::AxisRpm, TBlockChart::AxisAh})
        panels_.chart.RefitAxis(axis);
}

void TBlockGrid::GridChangeActualFile(int newRow, int oldRow) {
    if (oldRow >= 0) {
        TDataBlock* old = nullptr;
        if (ORLO_CHECK(
                oldRow <= RowCount() - 1,
                QStringLiteral("Lastrow<=FormMain.DataList.count-1 in GridChangeActualFile")))
            old = Block(oldRow);
        if (oldRow <= RowCount() - 1)
            ORLO_CHECK(old != nullptr, QStringLiteral("DataBlockPtr<>nil in GridChangeActualFile"));
        if (old) {
            storePendingNotes(*old);
            for (int s = SlotVoltage; s <= SlotCapacity; ++s)
                panels_.chart.SetSeriesWidth(*old, s, 1);
        }
    }
    blocks_.SetActualRow(newRow);
    if (!ORLO_CHECK(newRow >= 0 && newRow <= RowCount() - 1,
                    QStringLiteral("Arow<=FormMain.DataList.count-1 in GridChangeActualFile")))
        return;
    TDataBlock* block = Block(newRow);
    if (!ORLO_CHECK(block != nullptr, QStringLiteral("DataBlockPtr<>nil in GridChangeActualFile")))
        return;
    // The selection follows the actual block, so the editor never shows the notes
    // of a row other than the selected one.
    if (grid_.currentRow() != newRow)
        grid_.SetRowSilently(newRow);
    panels_.info.ShowBlockInfo(BlockInfoTexts(*block, blocks_.Entry(newRow)->Name));
    panels_.notes.LoadNotes(block->Notes);
    panels_.notes.SetModified(false);
    for (int s : {SlotRpm, SlotCurrent, SlotVoltage, SlotCapacity})
        panels_.chart.MoveSeriesEarlier(*block, s);
    for (int s = SlotVoltage; s <= SlotCapacity; ++s)
        panels_.chart.SetSeriesWidth(*block, s, 2);
}

TSaveOutcome TBlockGrid::GridSaveFile(int row, bool ask) {
    const TSaveSteps steps = blocks_.SaveSteps(row, ask);
    if (steps.Action == TSaveSteps::SaveAs)
        return GridSaveFileAs(row);
    TDataBlock* block = Block(row);
    if (steps.Action == TSaveSteps::Nothing || !block)
        return TSaveOutcome::NotSaved;
    if (!steps.Question.isEmpty() && prompts_.askYesNo(steps.Question) != platform::Button::Yes)
        return TSaveOutcome::NotSaved;
    QString path = steps.Path;
    bool renamed = false;
    if (!steps.MissingFileTitle.isEmpty()) {
        const std::optional<QString> chosen =
            prompts_.saveFileName(dataFileRequest(steps.MissingFileTitle, saveFolder()));
        if (!chosen)
            return TSaveOutcome::NotSaved;
        path = *chosen;
        renamed = true;
    }
    const TWriteResult r = WriteDataFile(path, *block);
    if (!r.Ok) {
        prompts_.error(r.Error);
        return TSaveOutcome::Failed;
    }
    block->Modified = false;
    if (renamed) {
        setRowPath(row, path);
        if (FileCreated)
            FileCreated(path);
    }
    return TSaveOutcome::Saved;
}

TSaveOutcome TBlockGrid::GridSaveFileAs(int row) {
    GridChangeActualFile(row, blocks_.ActualRow());
    TDataBlock* block = Block(row);
    if (!block)
        return TSaveOutcome::NotSaved;
    const std::optional<QString> chosen =
        prompts_.saveFileName(dataFileRequest(blocks_.SaveAsTitle(row), saveFolder()));
    if (!chosen)
        return TSaveOutcome::NotSaved;
    const TWriteResult r = WriteDataFile(*chosen, *block);
    if (!r.Ok) {
        prompts_.error(QStringLiteral("Error by saving data!\r") + r.Error);
        return TSaveOutcome::Failed;
    }
    setRowPath(row, *chosen);
    block->Modified = false;
    if (FileCreated)
        FileCreated(*chosen);
    return TSaveOutcome::Saved;
}

bool TBlockGrid::GridCloseFile(int row) {
    if (row < 0 || row > RowCount() - 1) {
        fail(QStringLiteral("Error in GridCloseFile, Arow>FormMain.DataList.Count"),
             "In GridCloseFile.");
        return false;
    }
    TDataBlock* block = Block(row);
    if (block && row == blocks_.ActualRow()) {
        storePendingNotes(*block);
        panels_.notes.ClearNotes();
        panels_.notes.SetModified(false);
    }
    if (GridSaveFile(row, true) == TSaveOutcome::Failed) {
        // The block keeps its row and its changes, so the user can save it elsewhere.
        if (block && row == blocks_.ActualRow()) {
            panels_.notes.LoadNotes(block->Notes);
            panels_.notes.SetModified(false);
        }
        return false;
    }
    if (block)
        panels_.chart.ReleaseBlockSeries(*block);
    blocks_.Remove(row);
    panels_.notes.ClearNotes();
    panels_.notes.SetModified(false);
    panels_.info.ClearFileInfo();
    return true;
}

void TBlockGrid::GridCloseAll() {
    for (int i = 0; i < RowCount(); ++i) {
        TDataBlock* block = Block(i);
        if (!block)
            continue;
        GridSaveFile(i, true);
        panels_.chart.ReleaseBlockSeries(*block);
    }
    blocks_.Clear();
}

}  // namespace orlo
