#include "orlo/chart/TSeriesSlot.h"

namespace orlo {

std::vector<TSlotRange> SlotRanges(std::span<const TBlockSlots* const> dataList, int quantity) {
    std::vector<TSlotRange> out(dataList.size());
    if (quantity < 0 || quantity >= SlotCount)
        return out;
    for (std::size_t i = 0; i < dataList.size(); ++i) {
        const TBlockSlots* blockSlots = dataList[i];
        if (!blockSlots)
            continue;
        TSlotRange& e = out[i];
        e.Exists = true;
        if (const TSlotSeries* s = (*blockSlots)[static_cast<std::size_t>(quantity)].Series.get()) {
            e.Active = s->IsActive();
            e.MinY = s->MinY();
            e.MaxY = s->MaxY();
        }
    }
    return out;
}

TMinMaxResult CalculateMinMax_Data(std::span<const TBlockSlots* const> dataList, int quantity,
                                   bool onlyShown) {
    const std::vector<TSlotRange> entries = SlotRanges(dataList, quantity);
    return CalculateMinMax_Data(std::span<const TSlotRange>(entries), quantity, onlyShown);
}

}  // namespace orlo
