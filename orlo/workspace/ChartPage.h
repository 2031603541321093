#pragma once
// The "Graph" page until the chart arrives: it keeps every series' state (shown,
// pen width, drawing order) so the grid routines work in full, and shows the cursor
// label above an empty plot area.

#include "orlo/workspace/TGraphSetup.h"
#include "orlo/workspace/WorkspaceSeams.h"

#include <QWidget>

#include <vector>

class QLabel;

namespace orlo {

// One line series of a block slot as the page keeps it.
class TPageSeries : public TSlotSeries {
public:
    TPageSeries(std::vector<double> y, int axis) : y_(std::move(y)), axis_(axis) {}
    bool IsActive() const override { return active; }
    double MinY() const override;
    double MaxY() const override;
    int Axis() const { return axis_; }

    bool active = false;
    int width = 1;
    int styleIndex = 0;
    QString title;

private:
    std::vector<double> y_;
    int axis_;
};

class TChartPage : public QWidget, public TBlockChart {
    Q_OBJECT
public:
    TChartPage(TGraphSetup& activeGraphSetup, QWidget* parent = nullptr);

    void CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) override;
    void ReleaseBlockSeries(TDataBlock& block) override;
    void SetSeriesActive(TDataBlock& block, int slot, bool active) override;
    void SetSeriesWidth(TDataBlock& block, int slot, int width) override;
    void MoveSeriesEarlier(TDataBlock& block, int slot) override;
    void RefitAxis(Axis axis) override;
    void SetLegendVisible(bool visible) override;
    void ApplyGraphSetup() override;

    // Series in drawing order.
    const std::vector<const TPageSeries*>& SeriesOrder() const { return order_; }
    bool LegendVisible() const { return legend_; }
    QLabel* LabelPos() const { return labelPos_; }

private:
    TGraphSetup& setup_;
    std::vector<const TPageSeries*> order_;
    bool legend_ = false;
    QLabel* labelPos_ = nullptr;
};

}  // namespace orlo
