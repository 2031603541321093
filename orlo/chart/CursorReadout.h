#pragma once
// The texts of the chart: the cursor readout above the chart and in the seven cursor
// fields, and the labels of the value and time axes.

#include "orlo/chart/ChartStyles.h"
#include "orlo/data/TDataBlock.h"

#include <QString>

#include <array>

namespace orlo {

// The value under the mouse on one channel's axis.
struct TReadoutChannel {
    bool On = false;  // the channel button is pressed
    double Value = 0;
    double Min = 0, Max = 0;  // the axis range
};

struct TReadoutInput {
    const TDataBlock* Block = nullptr;  // the actual block; nullptr: none
    bool BlockShown = false;            // its grid box holds "1"
    double T = 0;                       // bottom axis value under the mouse
    double TimeMin = 0, TimeMax = 0;    // bottom axis range
    // Voltage, current, revolutions, capacity.
    std::array<TReadoutChannel, 4> Channels{};
    // Time of the block never decreases: the sample is found by binary search.
    bool TimeSorted = false;
};

// InfoPanel11 ... InfoPanel17.
enum TCursorField : int {
    FieldU = 0,
    FieldI = 1,
    FieldR = 2,
    FieldC = 3,
    FieldP = 4,
    FieldE = 5,
    FieldTime = 6,
    CursorFieldCount = 7
};

struct TReadout {
    QString Label;  // LabelPos; empty: cleared
    std::array<QString, CursorFieldCount> Fields;
};

TReadout CursorReadout(const TReadoutInput& in);

// printf "%8.<decimals>f", trimmed, with the decimal separator of the user's locale.
QString FixedText(double v, int decimals);

// An axis label of the value in the axis's format, with the locale's separators.
QString AxisValueText(double v, TValueFormat format);
// A time-axis label in minutes and seconds: the first character that is no digit, "-"
// or decimal separator is dropped, and a whole number of seconds becomes m:ss. Any
// other label stays as it is.
QString MinSecLabel(const QString& label);

}  // namespace orlo
