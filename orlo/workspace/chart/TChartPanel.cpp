#include "orlo/workspace/chart/TChartPanel.h"

#include "orlo/workspace/chart/ChartPrinting.h"
#include "orlo/workspace/chart/TBlockPlot.h"
#include "orlo/workspace/chart/TFormGraphSetup.h"
#include "platform/ui/DialogPrompts.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <exception>

namespace orlo {
namespace {

constexpr std::array<TBlockChart::Axis, 4> kValueAxes{TBlockChart::AxisLeft, TBlockChart::AxisRight,
                                                      TBlockChart::AxisRpm, TBlockChart::AxisAh};

TBlockChart::Axis axisOfQuantity(int q) {
    return kValueAxes[static_cast<std::size_t>(std::clamp(q, 0, 3))];
}

// Draws the rubber band over the plot; mouse events pass through to the plot.
class BandOverlay : public QWidget {
public:
    BandOverlay(const TZoomBand& band, QWidget* parent) : QWidget(parent), band_(band) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!band_.Exists())
            return;
        QPainter p(this);
        p.setPen(QPen(Qt::gray, 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(band_.Rect());
    }

private:
    const TZoomBand& band_;
};

QAction* command(QObject* parent, const char* name, const QString& text, const QString& hint,
                 QStyle::StandardPixmap icon, QStyle* style) {
    auto* a = new QAction(text, parent);
    a->setObjectName(QString::fromLatin1(name));
    a->setToolTip(hint);
    a->setIcon(style->standardIcon(icon));
    return a;
}

}  // namespace

TChartPanel::TChartPanel(TGraphSetup& activeGraphSetup, platform::DialogPrompts& prompts,
                         QWidget* parent)
    : QWidget(parent), setup_(activeGraphSetup), prompts_(prompts) {
    setObjectName(QStringLiteral("ChartPanel"));
    setFocusPolicy(Qt::StrongFocus);

    labelPos_ = new QLabel(this);
    labelPos_->setObjectName(QStringLiteral("LabelPos"));
    plot_ = new TBlockPlot(this);
    scrollBar1_ = new QScrollBar(Qt::Horizontal, this);
    scrollBar1_->setObjectName(QStringLiteral("ScrollBar1"));
    scrollBar2_ = new QScrollBar(Qt::Vertical, this);
    scrollBar2_->setObjectName(QStringLiteral("ScrollBar2"));
    for (QScrollBar* bar : {scrollBar1_, scrollBar2_}) {
        bar->setRange(0, 100);
        bar->setPageStep(0);
        bar->setSingleStep(1);
    }
    connect(scrollBar1_, &QScrollBar::valueChanged, this, &TChartPanel::ScrollBar1Change);
    connect(scrollBar2_, &QScrollBar::valueChanged, this, &TChartPanel::ScrollBar2Change);

    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(labelPos_, 0, 0, 1, 2);
    layout->addWidget(plot_, 1, 0);
    layout->addWidget(scrollBar2_, 1, 1);
    layout->addWidget(scrollBar1_, 2, 0);
    layout->setRowStretch(1, 1);
    layout->setColumnStretch(0, 1);

    QWidget* surface = plot_->PlotWidget();
    surface->setMouseTracking(true);
    surface->installEventFilter(this);
    overlay_ = new BandOverlay(band_, surface);
    minSec_ = new QCheckBox(QStringLiteral("min:sec"), surface);
    minSec_->setObjectName(QStringLiteral("CheckBox_min_sec"));
    minSec_->setAutoFillBackground(true);
    connect(minSec_, &QCheckBox::toggled, this, &TChartPanel::CheckBox_min_secClick);

    QStyle* st = style();
    TBUndoZoom = command(this, "TBUndoZoom", QStringLiteral("Zoom All"), QStringLiteral("Zoom All"),
                         QStyle::SP_BrowserReload, st);
    TBZoomIn = command(this, "TBZoomIn", QStringLiteral("-"), QStringLiteral("Zoom Out"),
                       QStyle::SP_ArrowDown, st);
    TBZoomOut = command(this, "TBZoomOut", QStringLiteral("+"), QStringLiteral("Zoom In"),
                        QStyle::SP_ArrowUp, st);
    TBGraphSetup = command(this, "TBGraphSetup", QStringLiteral("Graph setup"),
                           QStringLiteral("Graph Setup"), QStyle::SP_FileDialogDetailedView, st);
    TBSaveGraph = command(this, "TBSaveGraph", QStringLiteral("Save Picture"),
                          QStringLiteral("Save Picture"), QStyle::SP_DriveFDIcon, st);
    TBPrintGraph = command(this, "TBPrintGraph", QStringLiteral("Print Graph"),
                           QStringLiteral("Print Graph"), QStyle::SP_FileIcon, st);
    connect(TBUndoZoom, &QAction::triggered, this, &TChartPanel::UndoZoom);
    connect(TBZoomIn, &QAction::triggered, this, &TChartPanel::TBZoomInClick);
    connect(TBZoomOut, &QAction::triggered, this, &TChartPanel::TBZoomOutClick);
    connect(TBGraphSetup, &QAction::triggered, this, &TChartPanel::TBGraphSetupClick);
    connect(TBSaveGraph, &QAction::triggered, this, &TChartPanel::TBSaveGraphClick);
    connect(TBPrintGraph, &QAction::triggered, this, &TChartPanel::TBPrintGraphClick);

    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupGraf"));
    connect(popup_->addAction(QStringLiteral("Zoom All")), &QAction::triggered, this,
            &TChartPanel::UndoZoom);
    connect(popup_->addAction(QStringLiteral("Graph setup")), &QAction::triggered, this,
            &TChartPanel::TBGraphSetupClick);
    connect(popup_->addAction(QStringLiteral("Save Picture")), &QAction::triggered, this,
            &TChartPanel::TBSaveGraphClick);
    popup_->addSeparator();
    popup_->addAction(QStringLiteral("Cancel"));

    formGraphSetup_ = new TFormGraphSetup(prompts_, this);
    formGraphSetup_->RestoreWindowState = [this](QWidget& w) {
        if (RestoreWindowState)
            RestoreWindowState(w);
    };

    updateExtraAxes();
    pushAxes();
    UpdateScrollBars();
}

// Series still held by open blocks watch the plot and let go of nothing once it is gone.
TChartPanel::~TChartPanel() = default;

QList<QAction*> TChartPanel::ToolActions() const {
    return {TBUndoZoom, TBZoomIn, TBZoomOut, TBGraphSetup, TBSaveGraph, TBPrintGraph};
}

void TChartPanel::SetCursorFields(const std::array<QLabel*, CursorFieldCount>& fields) {
    fields_ = fields;
}

template <typename F>
void TChartPanel::guarded(const char* tag, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        prompts_.error(QString::fromLocal8Bit(e.what()) + QLatin1Char('\n') +
                       QString::fromLatin1(tag));
    }
}

// ---- series ---------------------------------------------------------------------------

void TChartPanel::CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) {
    const std::vector<double>* values[] = {&block.Voltage, &block.Current, &block.Rpm,
                                           &block.Capacity};
    const int widths[] = {setup_.VoltageLineWidth, setup_.CurrentLineWidth, setup_.RPMLineWidth,
                          setup_.AhLineWidth};
    const TPenStyle pen = PenOfStyleIndex(styleIndex);
    TBlockSlots& blockSlots = slots_[&block];
    for (int k = 0; k < SlotCount; ++k) {
        TSeriesSlot& slot = blockSlots[static_cast<std::size_t>(k)];
        slot.ColorIndex = static_cast<std::uint8_t>(styleIndex);
        slot.ShiftX = 0;
        slot.ShiftY = 0;
        slot.ShiftOn = true;
        std::unique_ptr<TChartSeries> s;
        if (k < SlotAnnotations) {
            s = plot_->CreateSeries(block.Time, *values[k], k, pen, widths[k],
                                    blockName + QString::fromLatin1(SlotStyle(k).Suffix));
        } else {
            s = plot_->CreateSeries({}, {}, k, pen, 1, QString());
            s->SetAnnotations(block.Annotations);
        }
        order_.push_back(s.get());
        slot.Series = std::move(s);
    }
    blocks_.push_back(&block);
    timeSorted_[&block] = std::is_sorted(block.Time.begin(), block.Time.end());
}

const TBlockSlots* TChartPanel::Slots(const TDataBlock& block) const {
    const auto it = slots_.find(&block);
    return it == slots_.end() ? nullptr : &it->second;
}

void TChartPanel::ReleaseBlockSeries(TDataBlock& block) {
    const auto it = slots_.find(&block);
    if (it != slots_.end()) {
        for (TSeriesSlot& slot : it->second)
            std::erase(order_, static_cast<TChartSeries*>(slot.Series.get()));
        slots_.erase(it);
    }
    std::erase(blocks_, &block);
    timeSorted_.erase(&block);
    updateExtraAxes();
    plot_->Replot();
}

void TChartPanel::RenameBlockSeries(TDataBlock& block, const QString& blockName) {
    for (int k = 0; k < SlotAnnotations; ++k)
        if (auto* s = static_cast<TChartSeries*>(Series(block, k)))
            s->SetTitle(blockName + QString::fromLatin1(SlotStyle(k).Suffix));
    plot_->Replot();
}

namespace {

TChartSeries* seriesOf(const TBlockChart& chart, const TDataBlock& block, int slot) {
    return dynamic_cast<TChartSeries*>(chart.Series(block, slot));
}

}  // namespace

void TChartPanel::SetSeriesActive(TDataBlock& block, int slot, bool active) {
    if (TChartSeries* s = seriesOf(*this, block, slot)) {
        plot_->SetSeriesActive(*s, active);
        updateExtraAxes();
        updateLegend();
        plot_->Replot();
    }
}

void TChartPanel::updateLegend() {
    // Block by block in opening order, each with its channels in slot order.
    std::vector<TChartSeries*> entries;
    for (const TDataBlock* block : blocks_)
        for (int slot = SlotVoltage; slot < SlotAnnotations; ++slot)
            if (TChartSeries* s = seriesOf(*this, *block, slot))
                entries.push_back(s);
    plot_->SetLegendOrder(entries);
}

void TChartPanel::updateExtraAxes() {
    for (Axis a : {AxisRpm, AxisAh}) {
        const bool used = std::any_of(order_.begin(), order_.end(), [a](const TChartSeries* s) {
            return s->IsActive() && s->Axis() == a;
        });
        plot_->SetAxisVisible(a, used);
    }
}

void TChartPanel::SetSeriesWidth(TDataBlock& block, int slot, int width) {
    if (TChartSeries* s = seriesOf(*this, block, slot)) {
        plot_->SetSeriesWidth(*s, width);
        plot_->Replot();
    }
}

void TChartPanel::MoveSeriesEarlier(TDataBlock& block, int slot) {
    TChartSeries* s = seriesOf(*this, block, slot);
    const auto it = std::find(order_.begin(), order_.end(), s);
    if (it == order_.end() || it == order_.begin())
        return;
    std::iter_swap(it, it - 1);
    plot_->SetDrawingOrder(order_);
    plot_->Replot();
}

// ---- axes -----------------------------------------------------------------------------

TDataSpan TChartPanel::DataSpan(Axis axis) const {
    TDataSpan span;
    for (const TChartSeries* s : order_) {
        if (!s->IsActive() || s->PointCount() == 0)
            continue;
        if (axis != AxisBottom && s->Axis() != axis)
            continue;
        const double lo = axis == AxisBottom ? s->MinX() : s->MinY();
        const double hi = axis == AxisBottom ? s->MaxX() : s->MaxY();
        if (!span.Any) {
            span = {true, lo, hi};
        } else {
            span.Min = std::min(span.Min, lo);
            span.Max = std::max(span.Max, hi);
        }
    }
    return span;
}

void TChartPanel::refit(Axis axis) {
    TAxisRange& r = axes_[axis];
    if (!r.Auto)
        return;
    if (axis == AxisBottom) {
        // Time follows the visible series; with none shown the axis stays where it is.
        const TDataSpan span = DataSpan(AxisBottom);
        if (span.Any) {
            r.Min = span.Min;
            r.Max = span.Max > span.Min ? span.Max : span.Min + 1;
        }
        return;
    }
    std::vector<const TBlockSlots*> list;
    for (const TDataBlock* block : blocks_)
        list.push_back(Slots(*block));
    const int quantity = static_cast<int>(std::find(kValueAxes.begin(), kValueAxes.end(), axis) -
                                          kValueAxes.begin());
    const TMinMaxResult m = CalculateMinMax_Data(list, quantity, true);
    if (m.Ok) {
        r.Min = m.Min;
        r.Max = m.Max;
    }
}

void TChartPanel::RefitAxis(Axis axis) {
    refit(axis);
    pushAxes();
}

void TChartPanel::pushAxes() {
    for (std::size_t a = 0; a < axes_.Ranges.size(); ++a) {
        const auto axis = static_cast<Axis>(a);
        plot_->SetRange(axis, axes_[axis].Min, axes_[axis].Max);
    }
    plot_->Replot();
}

void TChartPanel::ApplyGraphSetup() {
    orlo::ApplyGraphSetup(setup_, axes_);
    for (Axis a : {AxisLeft, AxisRight, AxisRpm, AxisAh, AxisBottom})
        refit(a);
    pushAxes();
    UpdateScrollBars();
}

void TChartPanel::UpdateScrollBars() {
    scrollGuard_ = true;
    const TScrollBarState h = HorizontalScrollState(axes_[AxisBottom], DataSpan(AxisBottom));
    scrollBar1_->setEnabled(h.Enabled);
    if (h.Position)
        scrollBar1_->setValue(*h.Position);
    const TScrollBarState v = VerticalScrollState(axes_, DataSpan(AxisLeft));
    scrollBar2_->setEnabled(v.Enabled);
    if (v.Position)
        scrollBar2_->setValue(*v.Position);
    scrollGuard_ = false;
}

void TChartPanel::ScrollBar1Change(int position) {
    if (scrollGuard_)
        return;
    axes_[AxisBottom] = ScrollHorizontal(axes_[AxisBottom], position, DataSpan(AxisBottom));
    pushAxes();
}

void TChartPanel::ScrollBar2Change(int position) {
    if (scrollGuard_)
        return;
    for (Axis a : kValueAxes) {
        // An axis without shown data has nothing to scroll through; it stays put.
        const TDataSpan span = DataSpan(a);
        if (span.Any)
            axes_[a] = ScrollVertical(axes_[a], position, span);
    }
    pushAxes();
}

bool TChartPanel::ArrowKey(int key) {
    QScrollBar* bar = nullptr;
    int step = 0;
    switch (key) {
        case Qt::Key_Left:
            bar = scrollBar1_, step = -1;
            break;
        case Qt::Key_Right:
            bar = scrollBar1_, step = 1;
            break;
        case Qt::Key_Up:
            bar = scrollBar2_, step = -1;
            break;
        case Qt::Key_Down:
            bar = scrollBar2_, step = 1;
            break;
        default:
            return false;
    }
    if (!bar->isEnabled())
        return false;
    bar->setValue(StepScrollPosition(bar->value(), step));
    return true;
}

void TChartPanel::keyPressEvent(QKeyEvent* event) {
    if (!ArrowKey(event->key()))
        QWidget::keyPressEvent(event);
}

// ---- zoom -----------------------------------------------------------------------------

void TChartPanel::UndoZoom() {
    // The chart keeps its ranges behind the notes page too; only a hidden chart has none.
    if (plot_->isHidden())
        return;
    guarded("In ChartUndoZoom.", [this] {
        for (TAxisRange& r : axes_.Ranges)
            r.Auto = true;
        ApplyGraphSetup();
    });
}

void TChartPanel::zoomEvent() {
    UpdateScrollBars();
}

void TChartPanel::TBZoomInClick() {
    if (GridVisible && !GridVisible())
        return;
    for (Axis a : {AxisAh, AxisRpm})
        axes_[a] = WidenByTenth(axes_[a]);
    for (Axis a : {AxisLeft, AxisRight, AxisBottom})
        axes_[a] = PercentZoom(axes_[a], 90);
    pushAxes();
    zoomEvent();
}

void TChartPanel::TBZoomOutClick() {
    if (GridVisible && !GridVisible())
        return;
    for (Axis a : {AxisAh, AxisRpm})
        axes_[a] = NarrowByTenth(axes_[a]);
    for (Axis a : {AxisLeft, AxisRight, AxisBottom})
        axes_[a] = PercentZoom(axes_[a], 110);
    pushAxes();
    zoomEvent();
}

void TChartPanel::zoomToBand(QPoint from, QPoint to) {
    for (Axis a : kValueAxes)
        axes_[a] = RangeBetween(plot_->PixelToValue(a, from.y()), plot_->PixelToValue(a, to.y()),
                                axes_[a]);
    axes_[AxisBottom] = RangeBetween(plot_->PixelToValue(AxisBottom, from.x()),
                                     plot_->PixelToValue(AxisBottom, to.x()), axes_[AxisBottom]);
    pushAxes();
    zoomEvent();
}

void TChartPanel::scrollEvent() {
    refit(AxisRpm);
    refit(AxisAh);
    pushAxes();
    UpdateScrollBars();
}

// ---- mouse ----------------------------------------------------------------------------

bool TChartPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != plot_->PlotWidget())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* e = static_cast<QMouseEvent*>(event);
            const QPoint p = e->position().toPoint();
            bool consumed = false;
            guarded("In ChartMouseDown.", [&] {
                chartMouseDown(e->button(), e->modifiers(), p, e->globalPosition().toPoint());
                consumed = true;
            });
            return consumed;
        }
        case QEvent::MouseMove: {
            auto* e = static_cast<QMouseEvent*>(event);
            chartMouseMove(e->buttons(), e->position().toPoint());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            auto* e = static_cast<QMouseEvent*>(event);
            guarded("In ChartMouseUp.", [&] { chartMouseUp(e->button()); });
            return true;
        }
        case QEvent::Resize:
            overlay_->setGeometry(plot_->PlotWidget()->rect());
            placeMinSecBox();
            break;
        default:
            break;
    }
    return QWidget::eventFilter(watched, event);
}

void TChartPanel::placeMinSecBox() {
    minSec_->adjustSize();
    minSec_->move(2, plot_->PlotWidget()->height() - minSec_->height() - 2);
    minSec_->raise();
}

void TChartPanel::chartMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers mods, QPoint p,
                                 QPoint global) {
    const QRect plotRect = plot_->PlotRect();
    if (button == Qt::LeftButton) {
        band_.MouseDown(p, plotRect);
        return;
    }
    if (button == Qt::RightButton && plotRect.contains(p)) {
        if (mods & Qt::ControlModifier) {
            panning_ = true;
            panFrom_ = p;
        } else {
            popup_->popup(global);
        }
    }
}

void TChartPanel::chartMouseMove(Qt::MouseButtons buttons, QPoint p) {
    if (band_.MouseMove(p, (buttons & Qt::LeftButton) != 0, plot_->PlotRect()))
        updateOverlay();
    if (panning_ && (buttons & Qt::RightButton)) {
        guarded("In ChartScroll.", [&] {
            for (Axis a : {AxisBottom, AxisLeft, AxisRight}) {
                const bool horizontal = a == AxisBottom;
                const double from =
                    plot_->PixelToValue(a, horizontal ? panFrom_.x() : panFrom_.y());
                const double to = plot_->PixelToValue(a, horizontal ? p.x() : p.y());
                axes_[a] = ShiftRange(axes_[a], from - to);
            }
            panFrom_ = p;
            scrollEvent();
        });
    }
    guarded("In ChartMouseMove.", [&] { cursorReadout(p); });
}

void TChartPanel::chartMouseUp(Qt::MouseButton button) {
    if (button == Qt::RightButton)
        panning_ = false;
    if (button != Qt::LeftButton)
        return;
    const TZoomBand::ReleaseResult r = band_.MouseUp();
    updateOverlay();
    if (r.Action == TZoomBand::Release::Zoom)
        zoomToBand(r.From, r.To);
    else if (r.Action == TZoomBand::Release::Restore)
        UndoZoom();
}

void TChartPanel::updateOverlay() {
    overlay_->update();
}

void TChartPanel::cursorReadout(QPoint p) {
    TReadoutInput in;
    in.Block = ActualBlock ? ActualBlock() : nullptr;
    in.BlockShown = in.Block && ActualBlockShown && ActualBlockShown();
    in.T = plot_->PixelToValue(AxisBottom, p.x());
    in.TimeMin = axes_[AxisBottom].Min;
    in.TimeMax = axes_[AxisBottom].Max;
    for (int q = 0; q < 4; ++q) {
        const Axis a = axisOfQuantity(q);
        TReadoutChannel& c = in.Channels[static_cast<std::size_t>(q)];
        c.On = ChannelButtonDown && ChannelButtonDown(q);
        c.Value = plot_->PixelToValue(a, p.y());
        c.Min = axes_[a].Min;
        c.Max = axes_[a].Max;
    }
    if (in.Block) {
        const auto it = timeSorted_.find(in.Block);
        in.TimeSorted = it != timeSorted_.end() && it->second;
    }
    showReadout(CursorReadout(in));
}

void TChartPanel::showReadout(const TReadout& r) {
    labelPos_->setText(r.Label);
    fieldTexts_ = r.Fields;
    for (std::size_t k = 0; k < fields_.size(); ++k)
        if (fields_[k])
            fields_[k]->setText(r.Fields[k]);
}

// ---- commands -------------------------------------------------------------------------

void TChartPanel::SetLegendVisible(bool visible) {
    plot_->SetLegendVisible(visible);
    plot_->Replot();
}

void TChartPanel::CheckBox_min_secClick(bool checked) {
    if (minSec_->isChecked() != checked) {
        const QSignalBlocker block(minSec_);
        minSec_->setChecked(checked);
    }
    plot_->SetMinSec(checked);
    plot_->Replot();
}

void TChartPanel::TBGraphSetupClick() {
    try {
        TFormGraphSetup& dialog = *formGraphSetup_;
        dialog.Record = setup_;
        dialog.ShowRecord();
        if (prompts_.runModal(dialog) != QDialog::Accepted)
            return;
        setup_ = dialog.Record;
        setup_.Modified = true;
        ApplyGraphSetup();
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error in Graph Setup!\n") +
                       QString::fromLocal8Bit(e.what()));
    }
}

void TChartPanel::TBSaveGraphClick() {
    platform::FileDialogRequest request;
    request.title = QStringLiteral("Save Picture");
    request.filter = QStringLiteral("Bitmaps (*.bmp);;PNG pictures (*.png);;JPEG pictures (*.jpg)");
    request.defaultSuffix = QStringLiteral("bmp");
    const std::optional<QString> path = prompts_.saveFileName(request);
    if (!path)
        return;
    const QString error = plot_->SavePicture(*path);
    if (!error.isEmpty())
        prompts_.error(QStringLiteral("Error by saving Graph as Image file \"") + *path +
                       QStringLiteral("\"!\n") + error);
}

void TChartPanel::TBPrintGraphClick() {
    if (plot_->isHidden())
        return;
    try {
        PrintWithDialog(*plot_, prompts_);
    } catch (const std::exception& e) {
        prompts_.error(QStringLiteral("Error by printing Graph!\n") +
                       QString::fromLocal8Bit(e.what()));
    }
}

}  // namespace orlo
