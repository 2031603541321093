#include "orlo/workspace/ChartPage.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace orlo {

double TPageSeries::MinY() const {
    return y_.empty() ? 0 : *std::min_element(y_.begin(), y_.end());
}

double TPageSeries::MaxY() const {
    return y_.empty() ? 0 : *std::max_element(y_.begin(), y_.end());
}

TChartPage::TChartPage(TGraphSetup& activeGraphSetup, QWidget* parent)
    : QWidget(parent), setup_(activeGraphSetup) {
    setObjectName(QStringLiteral("Chart1"));
    auto* layout = new QVBoxLayout(this);
    labelPos_ = new QLabel(this);
    labelPos_->setObjectName(QStringLiteral("LabelPos"));
    layout->addWidget(labelPos_);
    auto* plot = new QLabel(this);
    plot->setAlignment(Qt::AlignCenter);
    plot->setAutoFillBackground(true);
    QPalette pal = plot->palette();
    pal.setColor(QPalette::Window, Qt::white);
    plot->setPalette(pal);
    layout->addWidget(plot, 1);
}

void TChartPage::CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) {
    static const char* const kTitles[] = {" (Volt)", " (Curr)", " (RPM)", " (Ah)"};
    const std::vector<double>* values[] = {&block.Voltage, &block.Current, &block.Rpm,
                                           &block.Capacity};
    const int widths[] = {setup_.VoltageLineWidth, setup_.CurrentLineWidth, setup_.RPMLineWidth,
                          setup_.AhLineWidth};
    for (int k = 0; k < SlotCount; ++k) {
        TSeriesSlot& slot = block.Slots[static_cast<std::size_t>(k)];
        slot.ColorIndex = static_cast<std::uint8_t>(styleIndex);
        slot.ShiftX = 0;
        slot.ShiftY = 0;
        slot.ShiftOn = true;
        std::vector<double> y;
        if (k < SlotAnnotations) {
            const std::size_t n = std::min(block.Time.size(), values[k]->size());
            y.assign(values[k]->begin(), values[k]->begin() + static_cast<std::ptrdiff_t>(n));
        }
        auto series = std::make_unique<TPageSeries>(std::move(y), k == SlotAnnotations ? 0 : k);
        series->styleIndex = styleIndex;
        if (k < SlotAnnotations) {
            series->width = widths[k];
            series->title = blockName + QString::fromLatin1(kTitles[k]);
        }
        order_.push_back(series.get());
        slot.Series = std::move(series);
    }
}

void TChartPage::ReleaseBlockSeries(TDataBlock& block) {
    for (TSeriesSlot& slot : block.Slots) {
        std::erase(order_, static_cast<const TPageSeries*>(slot.Series.get()));
        slot.Series.reset();
    }
}

void TChartPage::SetSeriesActive(TDataBlock& block, int slot, bool active) {
    if (auto* s =
            dynamic_cast<TPageSeries*>(block.Slots[static_cast<std::size_t>(slot)].Series.get()))
        s->active = active;
}

void TChartPage::SetSeriesWidth(TDataBlock& block, int slot, int width) {
    if (auto* s =
            dynamic_cast<TPageSeries*>(block.Slots[static_cast<std::size_t>(slot)].Series.get()))
        s->width = width;
}

void TChartPage::MoveSeriesEarlier(TDataBlock& block, int slot) {
    const auto* s = block.Slots[static_cast<std::size_t>(slot)].Series.get();
    const auto it = std::find(order_.begin(), order_.end(), s);
    if (it != order_.end() && it != order_.begin())
        std::iter_swap(it, it - 1);
}

void TChartPage::RefitAxis(Axis) {
    // Nothing is drawn yet, so there is no range to fit.
}

void TChartPage::SetLegendVisible(bool visible) {
    legend_ = visible;
}

void TChartPage::ApplyGraphSetup() {
    // A fixed range needs room: an empty one grows by one unit, as the chart will show it.
    const auto fix = [](bool automatic, double& min, double& max) {
        if (!automatic && !(min < max))
            max = min + 1;
    };
    fix(setup_.VoltageAuto, setup_.VoltageMin, setup_.VoltageMax);
    fix(setup_.CurrentAuto, setup_.CurrentMin, setup_.CurrentMax);
    fix(setup_.RPMAuto, setup_.RPMMin, setup_.RPMMax);
    fix(setup_.AhAuto, setup_.AhMin, setup_.AhMax);
    fix(setup_.TimeAuto, setup_.TimeMin, setup_.TimeMax);
}

}  // namespace orlo
