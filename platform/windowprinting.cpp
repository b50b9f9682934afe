#include "windowprinting.h"

#include "platform/formdesign.h"

#include <QImage>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace brevik::ui {
namespace {

PrinterChooser& installedChooser()
{
    static PrinterChooser chooser;
    return chooser;
}

} // namespace

bool choosePrinter(QPrinter& printer, QWidget* parent)
{
    if (installedChooser())
        return installedChooser()(printer, parent);
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

void setPrinterChooser(PrinterChooser chooser)
{
    installedChooser() = std::move(chooser);
}

QRectF imagePlacement(const QSizeF& image, int printerDpi, const QSizeF& page)
{
    // A design pixel is 15 twips, a ninety-sixth of an inch: the page shows the window at the
    // size it has on such a screen.
    constexpr double designDpi = 1440.0 / TwipsPerPixel;
    QSizeF size = image * (printerDpi / designDpi);
    if (size.width() > page.width() || size.height() > page.height())
        size.scale(page, Qt::KeepAspectRatio);
    return QRectF(QPointF(0, 0), size);
}

PrintOutcome printImagePage(QPrinter& printer, const QImage& image)
{
    if (!printer.isValid())
        return PrintOutcome::NoPrinter;
    QPainter painter;
    if (!painter.begin(&printer))
        return PrintOutcome::Failed;

    const QSizeF logical = image.deviceIndependentSize();
    const QRectF target = imagePlacement(logical, printer.resolution(),
                                         printer.pageLayout().paintRectPixels(printer.resolution()).size());
    // Enlarged, each pixel stays a sharp square as on the screen; only a reduction is smoothed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, target.width() < logical.width());
    painter.drawImage(target, image);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        return PrintOutcome::Failed;
    return PrintOutcome::Printed;
}

} // namespace brevik::ui
