#pragma once
// The arithmetic of the block chart as plain data: axis ranges and the graph setup,
// percentage zoom, the rubber band, panning and the two scroll bars.
//
// Pixels come in as integers of the plot widget; the adapter converts between pixels
// and axis values and applies the ranges computed here.

#include "orlo/chart/TBlockChart.h"
#include "orlo/chart/TGraphSetup.h"

#include <QPoint>
#include <QRect>

#include <array>
#include <climits>
#include <optional>

namespace orlo {

struct TAxisRange {
    double Min = 0;
    double Max = 1;
    // Automatic axes follow their visible data; any zoom, pan or scroll fixes them.
    bool Auto = true;
    bool operator==(const TAxisRange&) const = default;
};

// The five axes, indexed by TBlockChart::Axis.
struct TChartAxes {
    std::array<TAxisRange, 5> Ranges{};
    TAxisRange& operator[](TBlockChart::Axis a) { return Ranges[static_cast<std::size_t>(a)]; }
    const TAxisRange& operator[](TBlockChart::Axis a) const {
        return Ranges[static_cast<std::size_t>(a)];
    }
};

// Puts the record on the axes in the order left, right, revolutions, capacity, bottom.
// An automatic axis only becomes automatic (its caller re-fits it); a fixed one whose
// minimum is not below its maximum gets maximum := minimum + 1, also in the record.
void ApplyGraphSetup(TGraphSetup& setup, TChartAxes& axes);

// d := (max - min) * (percent - 100) / 100; min + d .. max - d. 90 widens, 110 narrows.
TAxisRange PercentZoom(const TAxisRange& r, double percent);
// The extra axes move by a tenth of their span on each side.
TAxisRange WidenByTenth(const TAxisRange& r);
TAxisRange NarrowByTenth(const TAxisRange& r);
// A fixed range between two values in either order. Two equal values would leave the
// axis without a span, so the axis then keeps its range.
TAxisRange RangeBetween(double a, double b, const TAxisRange& current);
// Moved by delta, fixed.
TAxisRange ShiftRange(const TAxisRange& r, double delta);

// The rubber band of a left drag inside the plot area. Pixel coordinates of the plot
// widget; X0 == NoBand while there is none.
class TZoomBand {
public:
    static constexpr int NoBand = INT_MAX;

    // True when the press starts a band (it lies inside the plot, edges included); the
    // chart then ignores the press itself.
    bool MouseDown(QPoint p, const QRect& plot);
    // True when the band changed and has to be drawn again.
    bool MouseMove(QPoint p, bool leftHeld, const QRect& plot);

    enum class Release { Nothing, Zoom, Restore };
    struct ReleaseResult {
        Release Action = Release::Nothing;
        QPoint From, To;  // the band's corners (X0,Y0) and (X1,Y1)
    };
    // Left to right zooms to the band; right to left, or back to the starting column,
    // restores. Either way the band is gone afterwards.
    ReleaseResult MouseUp();

    bool Exists() const { return X0 != NoBand; }
    // The band's rectangle, normalised; empty when there is none.
    QRect Rect() const;

    int X0 = NoBand, Y0 = 0, X1 = 0, Y1 = 0;

private:
    bool starting_ = false;
};

// Smallest and largest value of the visible series on one axis.
struct TDataSpan {
    bool Any = false;
    double Min = 0;
    double Max = 0;
};

int RoundHalfEven(double v);

struct TScrollBarState {
    bool Enabled = false;
    std::optional<int> Position;  // only set when the data span is not empty
};

// Horizontal: where the centre of the bottom axis lies in the data's time span.
TScrollBarState HorizontalScrollState(const TAxisRange& bottom, const TDataSpan& x);
// Vertical: the same for the left axis, counted from the top; enabled only while none of
// the four value axes is automatic.
TScrollBarState VerticalScrollState(const TChartAxes& axes, const TDataSpan& leftY);

// New range that centres the axis at position percent of the data span, keeping its
// width. The vertical bar counts from the top.
TAxisRange ScrollHorizontal(const TAxisRange& axis, int position, const TDataSpan& x);
TAxisRange ScrollVertical(const TAxisRange& axis, int position, const TDataSpan& y);
// Arrow keys step a bar by one, within 0..100.
int StepScrollPosition(int position, int step);

}  // namespace orlo
