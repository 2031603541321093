#pragma once
// The "Graph" page: the block chart with its cursor label, scroll bars, min:sec box,
// zoom and setup commands and pop-up menu.
//
// The main window plugs it in through TBlockChart (series of each open block) and the
// hooks below (actual block, channel buttons, grid state, the seven cursor fields).
// Every range decision is made by the chart model; TBlockPlot only draws.

#include "orlo/chart/ChartModel.h"
#include "orlo/chart/CursorReadout.h"
#include "orlo/chart/TBlockChart.h"
#include "orlo/chart/TGraphSetup.h"

#include <QWidget>

#include <array>
#include <functional>
#include <unordered_map>
#include <vector>

class QAction;
class QCheckBox;
class QLabel;
class QMenu;
class QScrollBar;

namespace platform {
class DialogPrompts;
}

namespace orlo {

class TBlockPlot;
class TChartSeries;
class TFormGraphSetup;

class TChartPanel : public QWidget, public TBlockChart {
    Q_OBJECT
public:
    TChartPanel(TGraphSetup& activeGraphSetup, platform::DialogPrompts& prompts,
                QWidget* parent = nullptr);
    ~TChartPanel() override;

    // ---- TBlockChart ---------------------------------------------------------------
    const TBlockSlots* Slots(const TDataBlock& block) const override;
    void CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) override;
    void ReleaseBlockSeries(TDataBlock& block) override;
    void RenameBlockSeries(TDataBlock& block, const QString& blockName) override;
    void SetSeriesActive(TDataBlock& block, int slot, bool active) override;
    void SetSeriesWidth(TDataBlock& block, int slot, int width) override;
    void MoveSeriesEarlier(TDataBlock& block, int slot) override;
    void RefitAxis(Axis axis) override;
    void SetLegendVisible(bool visible) override;
    // Puts ActiveGraphSetup on the axes, then updates the scroll bars.
    void ApplyGraphSetup() override;

    void UpdateScrollBars();

    // ---- hooks of the main window ----------------------------------------------------
    // The actual block, nullptr when none.
    std::function<const TDataBlock*()> ActualBlock;
    // The actual block's grid box holds "1".
    std::function<bool()> ActualBlockShown;
    // The channel button of a quantity (0 voltage ... 3 capacity) is pressed.
    std::function<bool(int quantity)> ChannelButtonDown;
    // The grid is shown (the zoom buttons work only then).
    std::function<bool()> GridVisible;
    // Where the graph setup dialog was last time.
    std::function<void(QWidget&)> RestoreWindowState;
    // InfoPanel11 ... InfoPanel17 (U, I, R, C, P, E, Time).
    void SetCursorFields(const std::array<QLabel*, CursorFieldCount>& fields);

    // ---- commands ---------------------------------------------------------------------
    void UndoZoom();
    void TBZoomInClick();   // widens ("Zoom Out")
    void TBZoomOutClick();  // narrows ("Zoom In")
    void TBGraphSetupClick();
    void TBSaveGraphClick();
    void TBPrintGraphClick();
    void CheckBox_min_secClick(bool checked);
    void ScrollBar1Change(int position);
    void ScrollBar2Change(int position);
    // Left/Right move the horizontal bar, Up/Down the vertical one, while enabled.
    // True when the key was used.
    bool ArrowKey(int key);

    // ---- parts, for the main window and tests -----------------------------------------
    QLabel* LabelPos() const { return labelPos_; }
    TBlockPlot& Plot() const { return *plot_; }
    QScrollBar* ScrollBar1() const { return scrollBar1_; }
    QScrollBar* ScrollBar2() const { return scrollBar2_; }
    QCheckBox* CheckBox_min_sec() const { return minSec_; }
    QMenu* PopupGraf() const { return popup_; }
    TFormGraphSetup& FormGraphSetup() const { return *formGraphSetup_; }
    QAction* TBUndoZoom = nullptr;
    QAction* TBZoomIn = nullptr;
    QAction* TBZoomOut = nullptr;
    QAction* TBGraphSetup = nullptr;
    QAction* TBSaveGraph = nullptr;
    QAction* TBPrintGraph = nullptr;
    // The chart commands in toolbar order.
    QList<QAction*> ToolActions() const;

    const TChartAxes& Axes() const { return axes_; }
    const TZoomBand& Band() const { return band_; }
    const std::array<QString, CursorFieldCount>& CursorFieldTexts() const { return fieldTexts_; }
    // Series in drawing order.
    const std::vector<TChartSeries*>& SeriesOrder() const { return order_; }
    // Visible data of one axis.
    TDataSpan DataSpan(Axis axis) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void chartMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint p,
                        QPoint global);
    void chartMouseMove(Qt::MouseButtons buttons, QPoint p);
    void chartMouseUp(Qt::MouseButton button);
    void cursorReadout(QPoint p);
    void showReadout(const TReadout& r);
    void zoomToBand(QPoint from, QPoint to);
    void zoomEvent();
    // Re-fits the automatic value axes after a pan, as their data allows.
    void scrollEvent();
    void refit(Axis axis);
    void pushAxes();
    // The revolutions and capacity axes take room only while they carry a shown series.
    void updateExtraAxes();
    void updateLegend();
    void updateOverlay();
    void placeMinSecBox();
    // Runs a chart handler; a failure shows its message and the handler's tag.
    template <typename F>
    void guarded(const char* tag, F&& f);

    TGraphSetup& setup_;
    platform::DialogPrompts& prompts_;
    TBlockPlot* plot_ = nullptr;
    QWidget* overlay_ = nullptr;
    QLabel* labelPos_ = nullptr;
    QScrollBar* scrollBar1_ = nullptr;
    QScrollBar* scrollBar2_ = nullptr;
    QCheckBox* minSec_ = nullptr;
    QMenu* popup_ = nullptr;
    TFormGraphSetup* formGraphSetup_ = nullptr;
    std::array<QLabel*, CursorFieldCount> fields_{};
    std::array<QString, CursorFieldCount> fieldTexts_;

    TChartAxes axes_;
    TZoomBand band_;
    bool scrollGuard_ = false;
    bool panning_ = false;
    QPoint panFrom_;
    // Open blocks in opening order (the order of the block list) and whether each one's
    // time never decreases.
    // The open blocks in opening order, and the chart's slots of each.
    std::vector<const TDataBlock*> blocks_;
    std::unordered_map<const TDataBlock*, TBlockSlots> slots_;
    std::unordered_map<const TDataBlock*, bool> timeSorted_;
    std::vector<TChartSeries*> order_;
};

}  // namespace orlo
