#pragma once
// The block chart's drawing surface: the one class that knows the plotting library.
//
// It draws line series on the five axes of the block chart, converts between pixels
// and axis values, and exports and prints the picture. Everything it is told comes
// from the chart model; it decides nothing about ranges itself.

#include "orlo/chart/ChartStyles.h"
#include "orlo/chart/TBlockChart.h"
#include "orlo/data/TDataBlock.h"

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <memory>
#include <span>
#include <vector>

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QPagedPaintDevice;
class QPainter;

namespace orlo {

class TBlockPlot;

// A point with a text: an annotation of a block.
struct TChartMark {
    double X = 0;
    double Y = 0;
    QString Label;
};

// One line series of a block slot. The block owns it through its slot; releasing it
// takes the line off the chart.
class TChartSeries : public TSlotSeries {
public:
    ~TChartSeries() override;
    bool IsActive() const override { return active_; }
    double MinY() const override { return minY_; }
    double MaxY() const override { return maxY_; }
    double MinX() const { return minX_; }
    double MaxX() const { return maxX_; }
    int PointCount() const { return count_; }
    TBlockChart::Axis Axis() const { return axis_; }
    int Slot() const { return slot_; }
    int Width() const { return width_; }
    TPenStyle Pen() const { return pen_; }
    const QString& Title() const { return title_; }
    void SetTitle(const QString& title);

    // Labelled points in x order (the annotation slot's series).
    const std::vector<TChartMark>& Marks() const { return marks_; }
    // The annotation slot's series shows the block's annotations: x the time, y the
    // value, the label the text.
    void SetAnnotations(const std::vector<TAnnotation>& annotations);

private:
    friend class TBlockPlot;
    void marksChanged();
    std::vector<TChartMark> marks_;
    QPointer<QCustomPlot> plot_;
    QCPGraph* graph_ = nullptr;
    TBlockChart::Axis axis_ = TBlockChart::AxisLeft;
    int slot_ = 0;
    bool active_ = false;
    int width_ = 1;
    TPenStyle pen_ = PenSolid;
    QString title_;
    int count_ = 0;
    double minX_ = 0, maxX_ = 0, minY_ = 0, maxY_ = 0;
};

class TBlockPlot : public QWidget {
    Q_OBJECT
public:
    explicit TBlockPlot(QWidget* parent = nullptr);
    ~TBlockPlot() override;

    // A hidden series of x[i], y[i] for i below both lengths.
    std::unique_ptr<TChartSeries> CreateSeries(std::span<const double> x, std::span<const double> y,
                                               int slot, TPenStyle pen, int width,
                                               const QString& title);
    void SetSeriesActive(TChartSeries& s, bool active);
    // The legend lists the shown, titled series in this order.
    void SetLegendOrder(std::span<TChartSeries* const> order);
    QStringList LegendTitles() const;
    // Where the legend is drawn (PlotWidget() coordinates); empty while it is hidden.
    QRect LegendRect() const;
    void SetSeriesWidth(TChartSeries& s, int width);
    // Series later in the list are drawn over earlier ones.
    void SetDrawingOrder(std::span<TChartSeries* const> order);

    void SetAxisVisible(TBlockChart::Axis axis, bool visible);
    bool AxisVisible(TBlockChart::Axis axis) const;
    void SetRange(TBlockChart::Axis axis, double min, double max);
    double RangeMin(TBlockChart::Axis axis) const;
    double RangeMax(TBlockChart::Axis axis) const;
    // Pixels are coordinates of PlotWidget(): x for the bottom axis, y for the others.
    double PixelToValue(TBlockChart::Axis axis, double pixel) const;
    double ValueToPixel(TBlockChart::Axis axis, double value) const;
    // The area inside the axes, in PlotWidget() coordinates.
    QRect PlotRect() const;

    void SetLegendVisible(bool visible);
    bool LegendVisible() const;
    // Bottom axis title and labels in minutes and seconds.
    void SetMinSec(bool on);
    QString AxisTitle(TBlockChart::Axis axis) const;
    // The labels an axis shows once pending changes are drawn.
    QStringList TickLabels(TBlockChart::Axis axis);

    // Draws the chart again at the next pass of the event loop; many changes in one
    // command cost one drawing.
    void Replot();
    // Draws it now.
    void ReplotNow();
    // Paints the present buffers again without recomputing the plot.
    void Repaint();
    // The widget that receives mouse events and on which overlays are drawn.
    QWidget* PlotWidget() const;

    // The chart on white in its present size, with every change drawn.
    QImage Picture() const;
    // .bmp, .png or .jpg by the file's suffix (.bmp for any other); an empty text on
    // success, else why it failed. A failed save keeps the old file.
    QString SavePicture(const QString& path) const;
    // The chart in a rectangle of the device.
    void Render(QPainter& painter, const QRect& target);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QCPAxis* axis(TBlockChart::Axis a) const;
    void fitLegendColumns();
    void placeLegend();

    QCustomPlot* plot_ = nullptr;
    QCPAxis* rpmAxis_ = nullptr;
    QCPAxis* ahAxis_ = nullptr;
    bool minSec_ = false;
    bool legendWanted_ = false;
};

}  // namespace orlo
