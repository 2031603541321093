#include "voltaro/graph/ChartModel.h"

#include "voltaro/model/CMainDoc.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace voltaro {
namespace {

struct QuantityInfo {
    std::string_view name;
    std::string_view label;
    std::uint32_t axisColor;
    std::uint32_t channels;  // the colour bytes the intensity goes into
    float DataSample::*field;
};

constexpr std::array<QuantityInfo, kChartQuantities> kQuantities{{
    {"U", "U [V]", 0x0000C0, 0x0000FF, &DataSample::U},
    {"I", "I [A]", 0xC00000, 0xFF0000, &DataSample::I},
    {"C", "C [Ah]", 0x00C000, 0x00FF00, &DataSample::C},
    {"E", "E [Wh]", 0xC000C0, 0xFF00FF, &DataSample::E},
    {"R", "R [rpm]", 0x00C0C0, 0x00FFFF, &DataSample::R},
}};

const QuantityInfo& quantityInfo(int q) {
    return kQuantities.at(static_cast<std::size_t>(q));
}

// The index of the first maximum of U (a later equal value does not win).
int firstMaxUIndex(std::span<const DataSample> samples) {
    int best = 0;
    for (std::size_t i = 1; i < samples.size(); ++i) {
        if (samples[i].U > samples[static_cast<std::size_t>(best)].U)
            best = static_cast<int>(i);
    }
    return best;
}

// The 0 % and 100 % samples of a block, worked out once per block.
struct PercentRange {
    int start = 0;
    int end = 0;
    int count = 0;

    PercentRange(const ChartBlockInput& b, bool maxUAsEnd)
        : start(b.startIndex < 0 ? 0 : b.startIndex), count(static_cast<int>(b.samples.size())) {
        if (b.endIndex >= 0)
            end = b.endIndex;
        else if (maxUAsEnd)
            end = firstMaxUIndex(b.samples);
        else
            end = count - 1;
    }

    double at(int i) const {
        if (start == end) {
            // A single sample (or none) has no extent: it sits at 0 %.
            const int last = count - 1;
            return last <= 0 ? 0.0 : i * 100.0 / last;
        }
        return (i - start) * 100.0 / (end - start);
    }
};

// Two pools handed out to the blocks in tree order: values a block already holds
// (its own, or 100 % for the current block) go to the back of the pool, so the
// automatic ones take the others first.
class StylePool {
public:
    explicit StylePool(std::vector<int> values) : m_values(std::move(values)) {}

    void moveToBack(int value) {
        const auto it = std::find(m_values.begin(), m_values.end(), value);
        if (it != m_values.end())
            std::rotate(it, it + 1, m_values.end());
    }
    int next() {
        const int v = m_values[m_next];
        m_next = (m_next + 1) % m_values.size();
        return v;
    }

private:
    std::vector<int> m_values;
    std::size_t m_next = 0;
};

void assignStyles(const ChartInput& input, const ChartViewState& view,
                  std::vector<ChartBlock>& plotted, const std::vector<int>& selectionOrder) {
    StylePool kinds({LineMediumSolid, LineDash, LineDot, LineDashDot, LineDashDotDot,
                     LineThickSolid, LineThinSolid});
    StylePool intensities({100, 90, 80, 70, 60, 50, 40, 30, 20, 10});
    const std::size_t n = input.blocks.size();
    std::vector<int> kind(n, -1);
    std::vector<int> intensity(n, -1);
    for (std::size_t i = 0; i < n; ++i) {
        const ChartBlockInput& b = input.blocks[i];
        if (b.lineType >= 0) {
            kind[i] = b.lineType;
            kinds.moveToBack(b.lineType);
        }
        if (b.colorIntensity >= 0)
            intensity[i] = b.colorIntensity;
        else if (b.block != nullptr && b.block == view.currentBlock)
            intensity[i] = 100;
        if (intensity[i] >= 0)
            intensities.moveToBack(intensity[i]);
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (kind[i] < 0)
            kind[i] = kinds.next();
        if (intensity[i] < 0)
            intensity[i] = intensities.next();
        ChartBlock& p = plotted[static_cast<std::size_t>(selectionOrder[i])];
        p.lineKind = kind[i];
        p.intensity = intensity[i];
    }
}

// The closing points of a subset: a flat subset (span below 0.5) gets half-unit
// values around it, truncated toward zero, so its axis keeps some height.
void closeSubset(ChartSubset& s) {
    if (s.realPoints == 0 || !(static_cast<double>(s.yMax) - s.yMin < 0.5))
        return;
    // + 0.0 turns a truncated -0 into 0.
    s.closeLow = static_cast<float>(std::trunc(2.0 * s.yMin) * 0.5 + 0.0);
    s.closeHigh = static_cast<float>(std::trunc(2.0 * (s.yMax + 0.5)) * 0.5 + 0.0);
}

void widen(ChartEntry& e, float v) {
    if (IsChartNull(v))
        return;
    if (!e.hasData) {
        e.hasData = true;
        e.dataMin = e.dataMax = v;
        return;
    }
    e.dataMin = std::min(e.dataMin, v);
    e.dataMax = std::max(e.dataMax, v);
}

}  // namespace

std::string_view ChartQuantityName(int quantity) {
    return quantityInfo(quantity).name;
}

std::string_view ChartQuantityLabel(int quantity) {
    return quantityInfo(quantity).label;
}

std::uint32_t ChartQuantityAxisColor(int quantity) {
    return quantityInfo(quantity).axisColor;
}

std::uint32_t ChartQuantityColor(int quantity, int intensityPercent) {
    const std::uint32_t c =
        static_cast<std::uint32_t>(std::clamp(intensityPercent * 255 / 100, 0, 255));
    const std::uint32_t channels = quantityInfo(quantity).channels;
    return (c << 16 | c << 8 | c) & channels;
}

double ChartPercentAtIndex(const ChartBlockInput& block, int i, bool maxUAsEnd) {
    return PercentRange(block, maxUAsEnd).at(i);
}

void BuildChartModel(const ChartInput& input, const ChartViewState& view, ChartModel& m) {
    const GraphSettings& g = input.settings;
    m.blocks.clear();
    m.selectionOrder.clear();
    m.currentBlock = -1;
    m.entries.clear();
    m.axes.clear();
    m.subsets.clear();
    m.pointsPerSubset = 0;
    m.xMin = 0.0f;
    m.xMax = 0.0f;

    // Plotting order: the current block first, else the longest; the others keep
    // their tree order.
    const std::size_t nBlocks = input.blocks.size();
    std::size_t first = 0;
    std::size_t largestCount = 0;
    float longest = 0.0f;
    for (std::size_t i = 0; i < nBlocks; ++i) {
        const auto& samples = input.blocks[i].samples;
        largestCount = std::max(largestCount, samples.size());
        const float duration = samples.empty() ? 0.0f : samples.back().T;
        if (duration > longest) {
            longest = duration;
            first = i;
        }
    }
    for (std::size_t i = 0; i < nBlocks; ++i) {
        if (view.currentBlock != nullptr && input.blocks[i].block == view.currentBlock) {
            first = i;
            m.currentBlock = 0;
            break;
        }
    }
    std::vector<std::size_t> plotting;  // input index per plotting position
    plotting.reserve(nBlocks);
    if (nBlocks > 0)
        plotting.push_back(first);
    for (std::size_t i = 0; i < nBlocks; ++i) {
        if (i != first)
            plotting.push_back(i);
    }
    m.selectionOrder.assign(nBlocks, 0);
    for (std::size_t p = 0; p < nBlocks; ++p) {
        const ChartBlockInput& b = input.blocks[plotting[p]];
        m.selectionOrder[plotting[p]] = static_cast<int>(p);
        ChartBlock& out = m.blocks.emplace_back();
        out.block = b.block;
        out.qualifiedName = b.qualifiedName;
        out.realPoints = static_cast<int>(b.samples.size());
    }
    assignStyles(input, view, m.blocks, m.selectionOrder);

    // Axis entries: each shown left-hand quantity gets a Y axis, with the first
    // shown right-hand quantity drawn against it as its partner.
    if (nBlocks > 0) {
        const int subsetsPerEntry = static_cast<int>(nBlocks);
        for (int i = 0; i < kChartQuantities; ++i) {
            const GraphAxis& a = g.m_axes[static_cast<std::size_t>(i)];
            if (!a.shown || a.right)
                continue;
            const int yAxis = static_cast<int>(m.axes.size());
            ChartEntry& left = m.entries.emplace_back();
            left.quantity = i;
            left.yAxis = yAxis;
            ChartAxis axis{subsetsPerEntry, false};
            for (int j = 0; j < kChartQuantities; ++j) {
                const GraphAxis& r = g.m_axes[static_cast<std::size_t>(j)];
                if (r.shown && r.right && r.reference == i) {
                    ChartEntry& partner = m.entries.emplace_back();
                    partner.quantity = j;
                    partner.yAxis = yAxis;
                    partner.right = true;
                    axis = {2 * subsetsPerEntry, true};
                    break;
                }
            }
            m.axes.push_back(axis);
        }
    }

    m.overlapAxes = g.m_bOverlapAxes != 0;
    m.axisNamesShown = view.axisNamesShown;
    m.cursorKind = g.m_nCursorKind;
    m.gridCode = (g.m_bVertGrid ? 0 : 1) | (g.m_bHorzGrid ? 0 : 2);
    m.legend.clear();
    if (g.m_bLegend)
        m.legend = m.selectionOrder;
    else
        m.legend.push_back(-1);
    m.title = g.m_strTitle;
    m.subtitle = g.m_strSubtitle;
    m.titleFont = g.m_strTitleFont;
    m.subtitleFont = g.m_strSubtitleFont;
    m.labelFont = view.czechFonts ? "Arial CE" : "Arial";
    m.overallFontSize = std::clamp(g.m_nOverallFont, 0, 2);
    m.titlesScale = static_cast<float>((std::clamp(g.m_nTitlesFont, 0, 13) + 7) * 0.1);
    m.legendScale = static_cast<float>((std::clamp(g.m_nLegendFont, 0, 13) + 7) * 0.1);
    m.xLabel = view.normalizedX ? kXLabelNormalized
               : g.m_bXSeconds  ? kXLabelSeconds
                                : kXLabelMinutes;

    if (m.entries.empty()) {
        m.x.clear();
        m.y.clear();
        return;
    }

    // Points: one pass over each block's samples fills its X row and the Y rows
    // of all its subsets.
    const std::size_t nEntries = m.entries.size();
    const std::size_t P = largestCount + 2;
    m.pointsPerSubset = static_cast<int>(P);
    m.x.resize(nBlocks * P);
    m.y.resize(nEntries * nBlocks * P);
    for (std::size_t e = 0; e < nEntries; ++e) {
        for (std::size_t p = 0; p < nBlocks; ++p) {
            const ChartBlock& b = m.blocks[p];
            ChartSubset& s = m.subsets.emplace_back();
            s.label = b.qualifiedName;
            s.quantity = m.entries[e].quantity;
            s.entry = static_cast<int>(e);
            s.block = static_cast<int>(p);
            s.lineKind = b.lineKind;
            s.color = ChartQuantityColor(s.quantity, b.intensity);
            s.realPoints = b.realPoints;
        }
    }
    // The labels form one tab-separated list whose trailing white space is cut,
    // so the last label loses its own.
    {
        std::string& last = m.subsets.back().label;
        last.erase(last.find_last_not_of(" \t\r\n\f\v") + 1);
    }

    const float divisor = g.m_bXSeconds ? 1.0f : 60.0f;
    float xMin = 0.0f;
    bool anyReal = false;
    float xMax = 0.0f;
    std::array<float DataSample::*, kChartQuantities> fields{};
    for (std::size_t e = 0; e < nEntries; ++e)
        fields[e] = quantityInfo(m.entries[e].quantity).field;
    std::array<float*, kChartQuantities> rows{};
    std::array<float, kChartQuantities> lo{};
    std::array<float, kChartQuantities> hi{};

    for (std::size_t p = 0; p < nBlocks; ++p) {
        const ChartBlockInput& in = input.blocks[plotting[p]];
        const std::span<const DataSample> samples = in.samples;
        const std::size_t n = samples.size();
        float* xs = m.x.data() + p * P;
        for (std::size_t e = 0; e < nEntries; ++e)
            rows[e] = m.y.data() + (e * nBlocks + p) * P;

        // One pass over the samples: they are large records, so reading each one
        // once for X and every Y is what keeps a long project fast.
        if (n > 0) {
            for (std::size_t e = 0; e < nEntries; ++e)
                lo[e] = hi[e] = samples[0].*fields[e];
        }
        for (std::size_t k = 0; k < n; ++k) {
            const DataSample& smp = samples[k];
            xs[k] = smp.T / divisor;
            for (std::size_t e = 0; e < nEntries; ++e) {
                const float v = smp.*fields[e];
                rows[e][k] = v;
                lo[e] = std::min(lo[e], v);
                hi[e] = std::max(hi[e], v);
            }
        }
        if (view.normalizedX) {
            const PercentRange range(in, view.maxUAsEnd);
            for (std::size_t k = 0; k < P - 2; ++k)
                xs[k] = static_cast<float>(range.at(static_cast<int>(k)));
        } else {
            std::fill(xs + n, xs + (P - 2), 0.0f);  // padding sits at time 0
        }
        xs[P - 2] = kChartNull;
        xs[P - 1] = kChartNull;
        if (n > 0) {
            const auto [mn, mx] = std::minmax_element(xs, xs + n);
            xMax = anyReal ? std::max(xMax, *mx) : *mx;
            xMin = std::min(xMin, *mn);
            anyReal = true;
        }
        if (n < P - 2)
            xMin = std::min(xMin, *std::min_element(xs + n, xs + (P - 2)));

        for (std::size_t e = 0; e < nEntries; ++e) {
            float* ys = rows[e];
            std::fill(ys + n, ys + P, kChartNull);
            if (n == 0)
                continue;
            ChartSubset& s = m.subsets[e * nBlocks + p];
            s.yMin = lo[e];
            s.yMax = hi[e];
            closeSubset(s);
            ys[P - 2] = s.closeLow;
            ys[P - 1] = s.closeHigh;
        }
    }
    m.xMin = xMin;
    m.xMax = xMax;

    for (std::size_t e = 0; e < nEntries; ++e) {
        ChartEntry& entry = m.entries[e];
        const GraphAxis& a = g.m_axes[static_cast<std::size_t>(entry.quantity)];
        entry.label = quantityInfo(entry.quantity).label;
        entry.color = quantityInfo(entry.quantity).axisColor;
        entry.scaleCode = (a.autoMin ? 0 : ScaleManualMin) | (a.autoMax ? 0 : ScaleManualMax);
        for (std::size_t p = 0; p < nBlocks; ++p) {
            const ChartSubset& s = m.subsets[e * nBlocks + p];
            for (float v : {s.yMin, s.yMax, s.closeLow, s.closeHigh})
                widen(entry, v);
        }
        entry.min = (entry.scaleCode & ScaleManualMin) || !entry.hasData ? a.min : entry.dataMin;
        entry.max = (entry.scaleCode & ScaleManualMax) || !entry.hasData ? a.max : entry.dataMax;
    }
}

ChartModel BuildChartModel(const ChartInput& input, const ChartViewState& view) {
    ChartModel model;
    BuildChartModel(input, view, model);
    return model;
}

ChartModel BuildChartModel(const CMainDoc& doc, const ChartViewState& view) {
    return BuildChartModel(ReadChartInput(doc), view);
}

}  // namespace voltaro
