#pragma once
// What the open-block grid needs of the other panels of the main window.
//
// The grid keeps the block list, the grid rows and the chart series in step; the
// chart, the notes editor, the information fields, the folder tree and the Data
// Reading window each implement one of these small interfaces.

#include "orlo/data/TDataBlock.h"

#include <QString>

#include <string>

class QDialog;

namespace orlo {

class TOrloMemory;

// Quantities of the channel buttons and of GraphSeriesCheck; also slot numbers.
enum TQuantity : int { QuantityVoltage = 0, QuantityCurrent = 1, QuantityRpm = 2, QuantityAh = 3 };

class TBlockChart {
public:
    enum Axis { AxisBottom, AxisLeft, AxisRight, AxisRpm, AxisAh };

    virtual ~TBlockChart() = default;
    // Five hidden series in the block's slots, drawn with the style index.
    virtual void CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) = 0;
    // Empties and releases the block's series.
    virtual void ReleaseBlockSeries(TDataBlock& block) = 0;
    // New titles for the block's series after its row got another name.
    virtual void RenameBlockSeries(TDataBlock& block, const QString& blockName) = 0;
    virtual void SetSeriesActive(TDataBlock& block, int slot, bool active) = 0;
    virtual void SetSeriesWidth(TDataBlock& block, int slot, int width) = 0;
    // One place earlier in the drawing order.
    virtual void MoveSeriesEarlier(TDataBlock& block, int slot) = 0;
    virtual void RefitAxis(Axis axis) = 0;
    virtual void SetLegendVisible(bool visible) = 0;
    // Puts the axis settings on the axes (titles, colours, ranges).
    virtual void ApplyGraphSetup() = 0;
};

class TNotesEditor {
public:
    virtual ~TNotesEditor() = default;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    // The editor's text as the block stores it (rich text).
    virtual std::string SaveNotes() const = 0;
    // Rich or plain text.
    virtual void LoadNotes(const std::string& notes) = 0;
    virtual void ClearNotes() = 0;
};

// The texts of the block information fields, as GridChangeActualFile fills them.
struct TBlockInfoTexts {
    QString BlockName;  // BlockNameLabel
    QString Date;       // EditDate
    QString FlyTime;    // EditFlyTime; empty for a block without samples
    QString Sample;     // EditSample
    QString Ver;        // EditVer
    QString MaxAlt;     // EditMaxAlt; empty for a block without voltage samples
    QString MaxI, AvgI, MaxU, MinU, AvgU, MaxP, AvgP, MaxR, BlockC, BlockE;
    QString SampRate;  // InfoPanel10
    QString RecTime;   // InfoPanel18; empty for a block without samples
};

TBlockInfoTexts BlockInfoTexts(const TDataBlock& block, const QString& blockName);

class TBlockInfoView {
public:
    virtual ~TBlockInfoView() = default;
    virtual void ShowBlockInfo(const TBlockInfoTexts& texts) = 0;
    // Date, sampling, version, record time and maximum voltage of the closed block.
    virtual void ClearFileInfo() = 0;
};

class TFolderTree {
public:
    virtual ~TFolderTree() = default;
    virtual void BuildTree(const QString& rootDir) = 0;
    virtual void ClearTreeView() = 0;
    virtual void RefreshTree() = 0;
    // Detaches the tree from a removed grid row.
    virtual void CancelGridRowFlag(int row) = 0;
};

// The Data Reading window: its three settings, its modal showing and the blocks of
// its last download.
class TDataReading {
public:
    virtual ~TDataReading() = default;
    virtual QString DefaultFolder() const = 0;
    virtual void SetDefaultFolder(const QString& folder) = 0;
    virtual QString PortName() const = 0;
    virtual void SetPortName(const QString& port) = 0;
    virtual QString DefaultFileName() const = 0;
    virtual void SetDefaultFileName(const QString& name) = 0;
    // nullptr where the program has no logger window.
    virtual QDialog* Dialog() = 0;
    virtual TOrloMemory& Memory() = 0;
};

}  // namespace orlo
