#pragma once
// What the open-block grid needs of the chart: the series of each block and the axes.
//
// The grid keeps its rows and the chart series in step through this interface; the
// "Graph" page implements it and keeps the series of each block, keyed by the block.

#include "orlo/chart/TSeriesSlot.h"
#include "orlo/data/TDataBlock.h"

#include <QString>

namespace orlo {

class TBlockChart {
public:
    enum Axis { AxisBottom, AxisLeft, AxisRight, AxisRpm, AxisAh };

    virtual ~TBlockChart() = default;
    // The block's slots, nullptr while the chart has no series for it.
    virtual const TBlockSlots* Slots(const TDataBlock& block) const = 0;
    // The series of one slot of the block, nullptr when there is none.
    TSlotSeries* Series(const TDataBlock& block, int slot) const {
        const TBlockSlots* blockSlots = Slots(block);
        if (!blockSlots || slot < 0 || slot >= SlotCount)
            return nullptr;
        return (*blockSlots)[static_cast<std::size_t>(slot)].Series.get();
    }
    // Five hidden series in the block's slots, drawn with the style index.
    virtual void CreateBlockSeries(TDataBlock& block, const QString& blockName, int styleIndex) = 0;
    // Empties and releases the block's series.
    virtual void ReleaseBlockSeries(TDataBlock& block) = 0;
    // New titles for the block's series after its row got another name.
    virtual void RenameBlockSeries(TDataBlock& block, const QString& blockName) = 0;
    virtual void SetSeriesActive(TDataBlock& block, int slot, bool active) = 0;
    virtual void SetSeriesWidth(TDataBlock& block, int slot, int width) = 0;
    // One place earlier in the drawing order.
    virtual void MoveSeriesEarlier(TDataBlock& block, int slot) = 0;
    virtual void RefitAxis(Axis axis) = 0;
    virtual void SetLegendVisible(bool visible) = 0;
    // Puts the axis settings on the axes (titles, colours, ranges).
    virtual void ApplyGraphSetup() = 0;
};

}  // namespace orlo
