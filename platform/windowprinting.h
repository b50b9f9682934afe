#pragma once

#include <functional>

#include <QRectF>

class QImage;
class QPrinter;
class QWidget;

namespace brevik::ui {

// Lets the operator choose the printer and its settings; false when the choice was cancelled.
// The platform's print dialog, unless a test has put its own answer in its place.
using PrinterChooser = std::function<bool(QPrinter& printer, QWidget* parent)>;
[[nodiscard]] bool choosePrinter(QPrinter& printer, QWidget* parent);
void setPrinterChooser(PrinterChooser chooser); // an empty chooser restores the dialog

enum class PrintOutcome
{
    Printed,
    NoPrinter, // the printer chosen is not there
    Failed,    // the printer would not take the page
};

// Where an image of the given size in screen pixels stands on a page printed at printerDpi: at
// the top left, as large as on a screen of the design's resolution, or smaller to fit the page.
[[nodiscard]] QRectF imagePlacement(const QSizeF& image, int printerDpi, const QSizeF& page);

// Prints one page carrying the image at the top left of the printable area, placed as above.
[[nodiscard]] PrintOutcome printImagePage(QPrinter& printer, const QImage& image);

} // namespace brevik::ui
