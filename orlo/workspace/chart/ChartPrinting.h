#pragma once
// Printing the block chart through the printer dialog.

class QPrinter;

namespace platform {
class DialogPrompts;
}

namespace orlo {

class TBlockPlot;

// Shows the printer dialog (landscape preset); on OK prints the chart on one page.
// False when the user cancelled. Throws std::runtime_error when the printer cannot
// be used.
bool PrintWithDialog(TBlockPlot& plot, platform::DialogPrompts& prompts);
// The chart on one page of a printer that is already set up; throws as above.
void PrintChartOn(TBlockPlot& plot, QPrinter& printer);

}  // namespace orlo
