#include "orlo/workspace/chart/TBlockPlot.h"

#include "orlo/chart/CursorReadout.h"

#include <qcustomplot.h>
#include <QFileInfo>
#include <QSaveFile>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace orlo {
namespace {

QColor qcolor(TRgb c) {
    return QColor(c.r, c.g, c.b);
}

Qt::PenStyle qpenStyle(TPenStyle p) {
    switch (p) {
        case PenDash:
            return Qt::DashLine;
        case PenDot:
            return Qt::DotLine;
        case PenDashDot:
            return Qt::DashDotLine;
        case PenDashDotDot:
            return Qt::DashDotDotLine;
        case PenSolid:
            break;
    }
    return Qt::SolidLine;
}

// Tick labels in the axis's own number format; the bottom axis may show m:ss.
class LabelTicker : public QCPAxisTicker {
public:
    LabelTicker(TValueFormat format, const bool* minSec) : format_(format), minSec_(minSec) {}

protected:
    double getTickStep(const QCPRange& range) override {
        const double step = QCPAxisTicker::getTickStep(range);
        // Whole-number labels would repeat for steps below one.
        return format_ == TValueFormat::Integer ? std::max(step, 1.0) : step;
    }

    QString getTickLabel(double tick, const QLocale&, QChar, int) override {
        // Ticks computed by steps carry rounding noise around zero.
        if (std::fabs(tick) < 1e-12)
            tick = 0;
        QString text = AxisValueText(tick, format_);
        if (minSec_ && *minSec_)
            text = MinSecLabel(text);
        return text;
    }

private:
    TValueFormat format_;
    const bool* minSec_;
};

QFont withSize(QFont f, int size, bool bold) {
    if (size > 0)
        f.setPointSize(size);
    f.setBold(bold);
    return f;
}

}  // namespace

TChartSeries::~TChartSeries() {
    if (plot_ && graph_)
        plot_->removeGraph(graph_);
}

void TChartSeries::SetTitle(const QString& title) {
    title_ = title;
    if (plot_ && graph_)
        graph_->setName(title);
}

void TChartSeries::SetAnnotations(const std::vector<TAnnotation>& annotations) {
    marks_.clear();
    marks_.reserve(annotations.size());
    for (const TAnnotation& a : annotations)
        marks_.push_back(TChartMark{a.Time, a.Value, QString::fromStdString(a.Text)});
    marksChanged();
}

void TChartSeries::marksChanged() {
    count_ = static_cast<int>(marks_.size());
    minX_ = maxX_ = minY_ = maxY_ = 0;
    QVector<QCPGraphData> points;
    for (const TChartMark& m : marks_) {
        if (points.isEmpty()) {
            minX_ = maxX_ = m.X;
            minY_ = maxY_ = m.Y;
        }
        minX_ = std::min(minX_, m.X);
        maxX_ = std::max(maxX_, m.X);
        minY_ = std::min(minY_, m.Y);
        maxY_ = std::max(maxY_, m.Y);
        points.push_back(QCPGraphData(m.X, m.Y));
    }
    if (plot_ && graph_)
        graph_->data()->set(points, true);
}

TBlockPlot::TBlockPlot(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    plot_ = new QCustomPlot(this);
    plot_->setObjectName(QStringLiteral("Chart1"));
    layout->addWidget(plot_);
    plot_->setBackground(Qt::white);
    plot_->axisRect()->setBackground(Qt::white);
    plot_->setAutoAddPlottableToLegend(false);
    // Long series are reduced to a few points per pixel column; antialiasing would cost
    // more than it shows on lines this dense.
    plot_->setNotAntialiasedElements(QCP::aePlottables);
    plot_->setPlottingHint(QCP::phCacheLabels, true);

    rpmAxis_ = plot_->axisRect()->addAxis(QCPAxis::atRight);
    ahAxis_ = plot_->axisRect()->addAxis(QCPAxis::atLeft);
    plot_->yAxis2->setVisible(true);

    for (const TAxisStyle& s : AxisStyles()) {
        QCPAxis* a = axis(s.Axis);
        a->setLabel(QString::fromLatin1(s.Title));
        const QColor color = qcolor(s.Color);
        a->setLabelColor(color);
        a->setTickLabelColor(color);
        QFont labelFont = withSize(plot_->font(), s.LabelSize, s.LabelBold);
        if (s.LabelArial)
            labelFont.setFamily(QStringLiteral("Arial"));
        a->setTickLabelFont(labelFont);
        a->setLabelFont(withSize(plot_->font(), s.TitleSize, s.TitleBold));
        // Only time labels turn into minutes and seconds.
        const bool* minSec = s.Axis == TBlockChart::AxisBottom ? &minSec_ : nullptr;
        a->setTicker(QSharedPointer<QCPAxisTicker>(new LabelTicker(s.Format, minSec)));
        a->grid()->setVisible(s.Grid);
        a->grid()->setPen(QPen(qcolor(ColorSilver), 0, Qt::DotLine));
        a->grid()->setSubGridVisible(false);
        a->setRange(0, 1);
    }

    // The legend sits above the plot, never over the curves: shown, it takes a row of
    // the layout of its own, four entries (one block's channels) to a line.
    QCPLegend* legend = plot_->legend;
    plot_->axisRect()->insetLayout()->take(legend);
    legend->setVisible(false);
    legend->setBrush(Qt::white);
    legend->setBorderPen(QPen(qcolor(ColorSilver)));
    // As high as a line of text, so that no descender or underscore is cut off.
    legend->setIconSize(50, QFontMetrics(legend->font()).height() + 2);
    legend->setRowSpacing(0);
    legend->setColumnSpacing(12);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setWrap(4);
    legend->setMargins(QMargins(5, 5, 5, 5));
    // Series also leave the legend when their block closes; every drawing checks its place.
    connect(plot_, &QCustomPlot::beforeReplot, this, &TBlockPlot::placeLegend);
}

TBlockPlot::~TBlockPlot() {
    // A hidden legend belongs to no layout, so the plot would not free it.
    if (!plot_->legend->layout())
        delete plot_->legend;
}

QCPAxis* TBlockPlot::axis(TBlockChart::Axis a) const {
    switch (a) {
        case TBlockChart::AxisBottom:
            return plot_->xAxis;
        case TBlockChart::AxisLeft:
            return plot_->yAxis;
        case TBlockChart::AxisRight:
            return plot_->yAxis2;
        case TBlockChart::AxisRpm:
            return rpmAxis_;
        case TBlockChart::AxisAh:
            return ahAxis_;
    }
    return plot_->yAxis;
}

std::unique_ptr<TChartSeries> TBlockPlot::CreateSeries(std::span<const double> x,
                                                       std::span<const double> y, int slot,
                                                       TPenStyle pen, int width,
                                                       const QString& title) {
    auto s = std::unique_ptr<TChartSeries>(new TChartSeries);
    const TSlotStyle& style = SlotStyle(slot);
    s->plot_ = plot_;
    s->slot_ = slot;
    s->axis_ = style.Axis;
    s->pen_ = pen;
    s->width_ = width;
    s->title_ = title;
    s->graph_ = plot_->addGraph(plot_->xAxis, axis(style.Axis));
    s->graph_->setName(title);
    s->graph_->setAdaptiveSampling(true);
    s->graph_->setVisible(false);
    QPen qpen(style.HasColor ? qcolor(style.Color) : QColor(Qt::black));
    qpen.setWidth(width);
    qpen.setStyle(qpenStyle(pen));
    s->graph_->setPen(qpen);

    const std::size_t n = std::min(x.size(), y.size());
    s->count_ = static_cast<int>(n);
    if (n > 0) {
        QVector<QCPGraphData> points(static_cast<qsizetype>(n));
        bool sorted = true;
        double minX = x[0], maxX = x[0], minY = y[0], maxY = y[0];
        for (std::size_t i = 0; i < n; ++i) {
            points[static_cast<qsizetype>(i)] = QCPGraphData(x[i], y[i]);
            if (i > 0 && x[i] < x[i - 1])
                sorted = false;
            minX = std::min(minX, x[i]);
            maxX = std::max(maxX, x[i]);
            minY = std::min(minY, y[i]);
            maxY = std::max(maxY, y[i]);
        }
        s->graph_->data()->set(points, sorted);
        s->minX_ = minX;
        s->maxX_ = maxX;
        s->minY_ = minY;
        s->maxY_ = maxY;
    }
    return s;
}

void TBlockPlot::SetSeriesActive(TChartSeries& s, bool active) {
    s.active_ = active;
    s.graph_->setVisible(active);
}

void TBlockPlot::SetLegendOrder(std::span<TChartSeries* const> order) {
    // The legend lists the shown series that have a title.
    plot_->legend->clearItems();
    for (TChartSeries* s : order)
        if (s->active_ && !s->title_.isEmpty())
            s->graph_->addToLegend();
    fitLegendColumns();
    placeLegend();
}

void TBlockPlot::fitLegendColumns() {
    // Up to four entries to a line (one block's channels), as many as fit the width;
    // a legend wider than the chart would push the plot aside.
    QCPLegend* legend = plot_->legend;
    int widest = 0;
    // Cells of the last line may be empty.
    for (int i = 0; i < legend->itemCount(); ++i)
        if (QCPLayoutElement* item = legend->item(i))
            widest = std::max(widest, item->minimumOuterSizeHint().width());
    const int room = plot_->width() - legend->margins().left() - legend->margins().right() - 2;
    const int columns =
        widest > 0 ? (room + legend->columnSpacing()) / (widest + legend->columnSpacing()) : 4;
    const int wrap = std::clamp(columns, 1, 4);
    if (legend->wrap() != wrap)
        legend->setWrap(wrap);
}

void TBlockPlot::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitLegendColumns();
}

QStringList TBlockPlot::LegendTitles() const {
    QStringList titles;
    for (int i = 0; i < plot_->legend->itemCount(); ++i)
        if (auto* item = qobject_cast<QCPPlottableLegendItem*>(plot_->legend->item(i)))
            titles << item->plottable()->name();
    return titles;
}

QRect TBlockPlot::LegendRect() const {
    return plot_->legend->visible() ? plot_->legend->outerRect() : QRect();
}

void TBlockPlot::SetAxisVisible(TBlockChart::Axis a, bool visible) {
    axis(a)->setVisible(visible);
}

bool TBlockPlot::AxisVisible(TBlockChart::Axis a) const {
    return axis(a)->visible();
}

void TBlockPlot::SetSeriesWidth(TChartSeries& s, int width) {
    s.width_ = width;
    QPen pen = s.graph_->pen();
    pen.setWidth(width);
    s.graph_->setPen(pen);
}

void TBlockPlot::SetDrawingOrder(std::span<TChartSeries* const> order) {
    // A layerable moved to a layer goes to its top; moving them all through another
    // layer in order leaves them in that order.
    QCPLayer* main = plot_->layer(QStringLiteral("main"));
    QCPLayer* spare = plot_->layer(QStringLiteral("background"));
    for (TChartSeries* s : order)
        s->graph_->setLayer(spare);
    for (TChartSeries* s : order)
        s->graph_->setLayer(main);
}

void TBlockPlot::SetRange(TBlockChart::Axis a, double min, double max) {
    axis(a)->setRange(min, max);
}

double TBlockPlot::RangeMin(TBlockChart::Axis a) const {
    return axis(a)->range().lower;
}

double TBlockPlot::RangeMax(TBlockChart::Axis a) const {
    return axis(a)->range().upper;
}

double TBlockPlot::PixelToValue(TBlockChart::Axis a, double pixel) const {
    return axis(a)->pixelToCoord(pixel);
}

double TBlockPlot::ValueToPixel(TBlockChart::Axis a, double value) const {
    return axis(a)->coordToPixel(value);
}

QRect TBlockPlot::PlotRect() const {
    return plot_->axisRect()->rect();
}

void TBlockPlot::SetLegendVisible(bool visible) {
    legendWanted_ = visible;
    placeLegend();
}

void TBlockPlot::placeLegend() {
    // An empty legend shares the plot's layout column with a width of nearly nothing and
    // would squeeze the plot to that; it takes its row only while it lists something.
    QCPLegend* legend = plot_->legend;
    QCPLayoutGrid* layout = plot_->plotLayout();
    bool listsSomething = false;
    // Cells of the last line may be empty.
    for (int i = 0; i < legend->itemCount() && !listsSomething; ++i)
        listsSomething = legend->item(i) != nullptr;
    const bool show = legendWanted_ && listsSomething;
    if (show && !legend->layout()) {
        layout->insertRow(0);
        layout->addElement(0, 0, legend);
        // The row is as high as the legend needs; the plot takes the rest.
        layout->setRowStretchFactor(0, 0.001);
    } else if (!show && legend->layout()) {
        layout->take(legend);
        layout->simplify();
    }
    legend->setVisible(show);
}

bool TBlockPlot::LegendVisible() const {
    return legendWanted_;
}

void TBlockPlot::SetMinSec(bool on) {
    minSec_ = on;
    plot_->xAxis->setLabel(QString::fromLatin1(on ? TimeTitleMinSec : TimeTitleSeconds));
}

QString TBlockPlot::AxisTitle(TBlockChart::Axis a) const {
    return axis(a)->label();
}

QStringList TBlockPlot::TickLabels(TBlockChart::Axis a) {
    ReplotNow();
    return axis(a)->tickVectorLabels().toList();
}

void TBlockPlot::Replot() {
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void TBlockPlot::ReplotNow() {
    plot_->replot(QCustomPlot::rpImmediateRefresh);
}

void TBlockPlot::Repaint() {
    plot_->repaint();
}

QWidget* TBlockPlot::PlotWidget() const {
    return plot_;
}

QImage TBlockPlot::Picture() const {
    plot_->replot(QCustomPlot::rpImmediateRefresh);
    const QSize size = plot_->size().isEmpty() ? QSize(800, 500) : plot_->size();
    return plot_->toPixmap(size.width(), size.height()).toImage();
}

QString TBlockPlot::SavePicture(const QString& path) const {
    const QString suffix = QFileInfo(path).suffix().toLower();
    const char* format = suffix == QStringLiteral("png") ? "PNG"
                         : (suffix == QStringLiteral("jpg") || suffix == QStringLiteral("jpeg"))
                             ? "JPG"
                             : "BMP";
    QImage image = Picture();
    if (std::strcmp(format, "PNG") != 0)
        image = image.convertToFormat(QImage::Format_RGB32);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (!image.save(&file, format)) {
        file.cancelWriting();
        return QStringLiteral("The picture could not be encoded.");
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

void TBlockPlot::Render(QPainter& painter, const QRect& target) {
    const QSize size = plot_->size().isEmpty() ? QSize(800, 500) : plot_->size();
    const double scale = std::min(static_cast<double>(target.width()) / size.width(),
                                  static_cast<double>(target.height()) / size.height());
    plot_->replot(QCustomPlot::rpImmediateRefresh);
    // Drawn at the target's resolution, so that a printed chart stays sharp.
    const QPixmap picture = plot_->toPixmap(size.width(), size.height(), scale);
    painter.drawPixmap(QRect(target.topLeft(), picture.size()), picture);
}

}  // namespace orlo
