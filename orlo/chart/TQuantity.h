#pragma once
// The measured quantities of a block as the channel buttons, the grid and the chart
// count them; also the slot numbers of a block's chart series.

namespace orlo {

enum TQuantity : int { QuantityVoltage = 0, QuantityCurrent = 1, QuantityRpm = 2, QuantityAh = 3 };

}  // namespace orlo
