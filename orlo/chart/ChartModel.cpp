#include "orlo/chart/ChartModel.h"

#include <algorithm>
#include <cmath>

namespace orlo {

void ApplyGraphSetup(TGraphSetup& setup, TChartAxes& axes) {
    struct Fields {
        TBlockChart::Axis axis;
        bool TGraphSetup::*autoField;
        double TGraphSetup::*minField;
        double TGraphSetup::*maxField;
    };
    static constexpr Fields order[] = {
        {TBlockChart::AxisLeft, &TGraphSetup::VoltageAuto, &TGraphSetup::VoltageMin,
         &TGraphSetup::VoltageMax},
        {TBlockChart::AxisRight, &TGraphSetup::CurrentAuto, &TGraphSetup::CurrentMin,
         &TGraphSetup::CurrentMax},
        {TBlockChart::AxisRpm, &TGraphSetup::RPMAuto, &TGraphSetup::RPMMin, &TGraphSetup::RPMMax},
        {TBlockChart::AxisAh, &TGraphSetup::AhAuto, &TGraphSetup::AhMin, &TGraphSetup::AhMax},
        {TBlockChart::AxisBottom, &TGraphSetup::TimeAuto, &TGraphSetup::TimeMin,
         &TGraphSetup::TimeMax},
    };
    for (const Fields& f : order) {
        TAxisRange& r = axes[f.axis];
        if (setup.*f.autoField) {
            r.Auto = true;
            continue;
        }
        // Negated, so that a NaN minimum also gets a usable maximum.
        if (!(setup.*f.minField < setup.*f.maxField))
            setup.*f.maxField = setup.*f.minField + 1;
        r = {setup.*f.minField, setup.*f.maxField, false};
    }
}

TAxisRange PercentZoom(const TAxisRange& r, double percent) {
    const double d = (r.Max - r.Min) * (percent - 100) * 0.01;
    return {r.Min + d, r.Max - d, false};
}

TAxisRange WidenByTenth(const TAxisRange& r) {
    const double d = (r.Max - r.Min) * 0.1;
    return {r.Min - d, r.Max + d, false};
}

TAxisRange NarrowByTenth(const TAxisRange& r) {
    const double d = (r.Max - r.Min) * 0.1;
    return {r.Min + d, r.Max - d, false};
}

TAxisRange RangeBetween(double a, double b, const TAxisRange& current) {
    if (!(a != b) || !std::isfinite(a) || !std::isfinite(b))
        return current;
    return {std::min(a, b), std::max(a, b), false};
}

TAxisRange ShiftRange(const TAxisRange& r, double delta) {
    return {r.Min + delta, r.Max + delta, false};
}

// ---- rubber band ----------------------------------------------------------------------

bool TZoomBand::MouseDown(QPoint p, const QRect& plot) {
    // A press outside the plot also forgets an earlier start, so that it never turns
    // the drag that follows into a band.
    starting_ = plot.contains(p);
    return starting_;
}

bool TZoomBand::MouseMove(QPoint p, bool leftHeld, const QRect& plot) {
    if (!leftHeld || (!starting_ && !Exists()))
        return false;
    // The band is drawn clipped to the plot; it zooms to what the user sees.
    const QPoint q(std::clamp(p.x(), plot.left(), plot.right()),
                   std::clamp(p.y(), plot.top(), plot.bottom()));
    if (starting_) {
        X0 = X1 = q.x();
        Y0 = Y1 = q.y();
        starting_ = false;
    }
    X1 = q.x();
    Y1 = q.y();
    return true;
}

TZoomBand::ReleaseResult TZoomBand::MouseUp() {
    ReleaseResult r;
    starting_ = false;
    if (!Exists())
        return r;
    r.From = QPoint(X0, Y0);
    r.To = QPoint(X1, Y1);
    r.Action = X0 < X1 ? Release::Zoom : Release::Restore;
    X0 = NoBand;
    return r;
}

QRect TZoomBand::Rect() const {
    if (!Exists())
        return {};
    return QRect(QPoint(std::min(X0, X1), std::min(Y0, Y1)),
                 QPoint(std::max(X0, X1), std::max(Y0, Y1)));
}

// ---- scroll bars ----------------------------------------------------------------------

int RoundHalfEven(double v) {
    if (!std::isfinite(v))
        return 0;
    v = std::clamp(v, -1.0e9, 1.0e9);
    // nearbyint follows the default rounding mode, which rounds halves to even.
    return static_cast<int>(std::nearbyint(v));
}

namespace {

int clampPosition(int p) {
    return std::clamp(p, 0, 100);
}

}  // namespace

TScrollBarState HorizontalScrollState(const TAxisRange& bottom, const TDataSpan& x) {
    TScrollBarState s;
    s.Enabled = !bottom.Auto;
    if (s.Enabled && x.Any && x.Max - x.Min > 0) {
        const double centre = bottom.Min + (bottom.Max - bottom.Min) / 2;
        s.Position = clampPosition(RoundHalfEven((centre - x.Min) / (x.Max - x.Min) * 100));
    }
    return s;
}

TScrollBarState VerticalScrollState(const TChartAxes& axes, const TDataSpan& leftY) {
    TScrollBarState s;
    s.Enabled = !axes[TBlockChart::AxisLeft].Auto && !axes[TBlockChart::AxisRight].Auto &&
                !axes[TBlockChart::AxisRpm].Auto && !axes[TBlockChart::AxisAh].Auto;
    const TAxisRange& left = axes[TBlockChart::AxisLeft];
    if (s.Enabled && leftY.Any && leftY.Max - leftY.Min > 0) {
        const double centre = left.Min + (left.Max - left.Min) / 2;
        s.Position =
            clampPosition(RoundHalfEven((leftY.Max - centre) / (leftY.Max - leftY.Min) * 100));
    }
    return s;
}

namespace {

TAxisRange centredAt(double newMax, double width) {
    double newMin = newMax - width;
    if (!(newMax > newMin))
        newMax = newMin + 1;
    return {newMin, newMax, false};
}

}  // namespace

TAxisRange ScrollHorizontal(const TAxisRange& axis, int position, const TDataSpan& x) {
    const double w = axis.Max - axis.Min;
    return centredAt(x.Min + position * (x.Max - x.Min) / 100 + w / 2, w);
}

TAxisRange ScrollVertical(const TAxisRange& axis, int position, const TDataSpan& y) {
    const double w = axis.Max - axis.Min;
    return centredAt(y.Min + (100 - position) * (y.Max - y.Min) / 100 + w / 2, w);
}

int StepScrollPosition(int position, int step) {
    return clampPosition(position + step);
}

}  // namespace orlo
