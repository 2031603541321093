#pragma once
// What the graph page plots, as plain data: the plotted blocks, the axis entries,
// one subset per (entry, block) with its points, label, line kind and colour, the
// axis ranges, titles, fonts, grid and legend. BuildChartModel decides all of it
// from the document's snapshot and the page's view flags; the chart widget only
// draws what it finds here, and tests read it directly.
//
// Points. Every subset row has P = (largest point count + 2) places: the block's
// real points, then padding up to P - 2, then two closing points. Padding and
// closing points have X = kChartNull; padding Y is kChartNull as well. The closing
// points of a flat subset (Y span below 0.5) carry Y values on half-unit steps
// around it, so the automatic range never collapses to a line; they widen the
// range but are never drawn. A widget draws only the first realPoints of a row.
// X depends on the block alone, so X is kept once per block, Y once per subset.

#include "voltaro/graph/ChartInput.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace voltaro {

class CDataBlock;
class CMainDoc;

// "No value" for the chart on either axis: the smallest normal float (0x00800000).
inline constexpr float kChartNull = std::numeric_limits<float>::min();
inline bool IsChartNull(float v) {
    return std::bit_cast<std::uint32_t>(v) == 0x00800000u;
}

// The plotted quantities, in their fixed order.
enum ChartQuantity : int { QuantityU, QuantityI, QuantityC, QuantityE, QuantityR };
inline constexpr int kChartQuantities = 5;

// Name ("U"), axis label ("U [V]") and axis colour (0xRRGGBB) of a quantity.
std::string_view ChartQuantityName(int quantity);
std::string_view ChartQuantityLabel(int quantity);
std::uint32_t ChartQuantityAxisColor(int quantity);
// A line colour of the quantity at an intensity in percent.
std::uint32_t ChartQuantityColor(int quantity, int intensityPercent);

// X axis texts.
inline constexpr std::string_view kXLabelMinutes = "Time [min]";
inline constexpr std::string_view kXLabelSeconds = "Time [sec]";
inline constexpr std::string_view kXLabelNormalized = "0..100 % (Normalized)";

// Line kinds (the block's line types 0..6; older files may hold up to 12).
enum ChartLineKind : int {
    LineThinSolid = 0,
    LineDash = 1,
    LineDot = 2,
    LineDashDot = 3,
    LineDashDotDot = 4,
    LineMediumSolid = 5,
    LineThickSolid = 6,
};

// The page's own state that decides what is plotted.
struct ChartViewState {
    const CDataBlock* currentBlock = nullptr;  // last made current in the tree
    bool normalizedX = false;                  // X is 0..100 % of each block
    bool axisNamesShown = false;               // "Hide Y Axes Names" off
    bool maxUAsEnd = false;                    // "100% X-axis as Maximal 'U' Point"
    bool czechFonts = false;                   // the " CE" font variants
};

// Scale code bits of an axis entry: the minimum / maximum is the record's value.
enum ChartScaleCode : int { ScaleManualMin = 1, ScaleManualMax = 2 };

struct ChartEntry {
    int quantity = 0;    // ChartQuantity
    int yAxis = 0;       // 0-based Y axis number
    bool right = false;  // right-hand partner of the entry before it (same Y axis)
    std::string_view label;
    std::uint32_t color = 0;  // 0xRRGGBB
    int scaleCode = 0;        // ChartScaleCode bits
    // The axis range: the record's value where the scale code says manual, else
    // the automatic range of the entry's subsets (real and closing points), else
    // the record's value when the entry has no value at all.
    double min = 0.0;
    double max = 0.0;
    bool hasData = false;  // some subset of the entry has a real or closing value
    float dataMin = 0.0f;  // valid when hasData
    float dataMax = 0.0f;

    bool operator==(const ChartEntry&) const = default;
};

struct ChartAxis {
    int subsetCount = 0;  // blocks, or 2 x blocks with a right-hand partner
    bool hasPartner = false;

    bool operator==(const ChartAxis&) const = default;
};

struct ChartBlock {
    const CDataBlock* block = nullptr;  // identity
    std::string qualifiedName;
    int realPoints = 0;
    int lineKind = 0;
    int intensity = 100;  // percent

    bool operator==(const ChartBlock&) const = default;
};

struct ChartSubset {
    std::string label;  // the block's qualified name
    int quantity = 0;
    int entry = 0;
    int block = 0;  // position in plotting order
    int lineKind = 0;
    std::uint32_t color = 0;  // 0xRRGGBB
    int realPoints = 0;
    float yMin = kChartNull;  // over the real points; kChartNull when none
    float yMax = kChartNull;
    float closeLow = kChartNull;  // Y of the closing points, kChartNull when unused
    float closeHigh = kChartNull;

    bool operator==(const ChartSubset&) const = default;
};

struct ChartModel {
    bool noData() const { return entries.empty(); }

    std::vector<ChartBlock> blocks;   // plotting order: current (or longest) first
    std::vector<int> selectionOrder;  // plotting positions of the blocks in tree order
    int currentBlock = -1;            // plotting position of the current block, or -1
    std::vector<ChartEntry> entries;
    std::vector<ChartAxis> axes;       // per Y axis
    std::vector<ChartSubset> subsets;  // subset s = entry x blocks + block
    int pointsPerSubset = 0;           // P; 0 when nothing is plotted

    std::vector<float> x;  // blocks x P
    std::vector<float> y;  // subsets x P
    std::span<const float> subsetX(int s) const {
        return rowOf(x, subsets[static_cast<std::size_t>(s)].block);
    }
    std::span<const float> subsetY(int s) const { return rowOf(y, s); }

    std::string_view xLabel;
    float xMin = 0.0f;  // over all points, starting from 0
    float xMax = 0.0f;  // over the real points, 0 when none

    bool overlapAxes = false;
    bool axisNamesShown = false;
    int gridCode = 0;         // bit 0: vertical grid off, bit 1: horizontal grid off
    std::vector<int> legend;  // plotting position per block in tree order, or {-1}
    int cursorKind = 0;

    std::string title;
    std::string subtitle;
    std::string titleFont;
    std::string subtitleFont;
    std::string labelFont;     // axes and legend
    int overallFontSize = 0;   // 0 Large, 1 Medium, 2 Small
    float titlesScale = 1.0f;  // 0.7 .. 2.0
    float legendScale = 1.0f;

    bool operator==(const ChartModel&) const = default;

private:
    std::span<const float> rowOf(const std::vector<float>& v, int row) const {
        const auto p = static_cast<std::size_t>(pointsPerSubset);
        return std::span<const float>(v).subspan(static_cast<std::size_t>(row) * p, p);
    }
};

// Builds the model into `model`, reusing its storage (a live graph rebuilds after
// every received sample).
void BuildChartModel(const ChartInput& input, const ChartViewState& view, ChartModel& model);
ChartModel BuildChartModel(const ChartInput& input, const ChartViewState& view);
ChartModel BuildChartModel(const CMainDoc& doc, const ChartViewState& view);

// The normalised X of sample i: percent of the block between its 0 % and 100 %
// samples (the block's own PercentAtIndex, with the 100 %-as-maximal-U option given).
double ChartPercentAtIndex(const ChartBlockInput& block, int i, bool maxUAsEnd);

}  // namespace voltaro
