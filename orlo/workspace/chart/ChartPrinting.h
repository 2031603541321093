#pragma once
// Printing the block chart through the printer dialog.

class QPrinter;
class QWidget;

namespace orlo {

class TBlockPlot;

// Shows the printer dialog; on OK prints the chart on one page. False when the user
// cancelled. Throws std::runtime_error when the printer cannot be used.
bool PrintWithDialog(TBlockPlot& plot, QWidget* parent);
// The chart on one page of a printer that is already set up; throws as above.
void PrintChartOn(TBlockPlot& plot, QPrinter& printer);

}  // namespace orlo
