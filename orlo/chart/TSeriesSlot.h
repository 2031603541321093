#pragma once
// The chart's bookkeeping of one open block: a series per slot (the four quantities
// and the annotations) with the block's style and shift. The chart keeps these per
// block; the block record itself knows nothing of how it is drawn.

#include "orlo/data/TDataBlock.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace orlo {

// What a chart series must tell the range fitting about itself. The chart implements
// it; the fitting only asks whether the series is shown and for its y range.
class TSlotSeries {
public:
    virtual ~TSlotSeries() = default;
    virtual bool IsActive() const = 0;
    // Smallest and largest y value; 0 for an empty series.
    virtual double MinY() const = 0;
    virtual double MaxY() const = 0;
};

struct TSeriesSlot {
    std::unique_ptr<TSlotSeries> Series;
    std::uint8_t ColorIndex = 0;
    double ShiftX = 0;
    double ShiftY = 0;
    bool ShiftOn = false;
};

using TBlockSlots = std::array<TSeriesSlot, SlotCount>;

// The slot `quantity` of each open block (nullptr = missing record) as the range
// fitting sees it; a slot without a series counts as an empty, hidden series.
std::vector<TSlotRange> SlotRanges(std::span<const TBlockSlots* const> dataList, int quantity);
// CalculateMinMax_Data over the slots of the open blocks.
TMinMaxResult CalculateMinMax_Data(std::span<const TBlockSlots* const> dataList, int quantity,
                                   bool onlyShown);

}  // namespace orlo
