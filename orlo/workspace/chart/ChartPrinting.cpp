#include "orlo/workspace/chart/ChartPrinting.h"

#include "orlo/workspace/chart/TBlockPlot.h"
#include "platform/ui/DialogPrompts.h"

#include <QPainter>
#include <QPrinter>

#include <stdexcept>

namespace orlo {

bool PrintWithDialog(TBlockPlot& plot, platform::DialogPrompts& prompts) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (!prompts.printDialog(printer))
        return false;
    PrintChartOn(plot, printer);
    return true;
}

void PrintChartOn(TBlockPlot& plot, QPrinter& printer) {
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("The printer could not be started.");
    // The painter's origin is already the corner of the printable area.
    const QRect area = printer.pageLayout().paintRectPixels(printer.resolution());
    plot.Render(painter, QRect(QPoint(0, 0), area.size()));
    if (!painter.end())
        throw std::runtime_error("The page could not be finished.");
}

}  // namespace orlo
