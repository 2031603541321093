#include "orlo/workspace/chart/ChartPrinting.h"

#include "orlo/workspace/chart/TBlockPlot.h"

#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

#include <stdexcept>

namespace orlo {

bool PrintWithDialog(TBlockPlot& plot, QWidget* parent) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        throw std::runtime_error("The printer could not be started.");
    plot.Render(painter, printer.pageLayout().paintRectPixels(printer.resolution()));
    painter.end();
    return true;
}

}  // namespace orlo
