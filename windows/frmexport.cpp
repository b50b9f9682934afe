#include "frmexport.h"

#include "import/paths.h"
#include "platform/messagebox.h"
#include "platform/windowprinting.h"
#include "windows/frmexport_design.h"

#include <QLabel>
#include <QPrinter>
#include <QPushButton>

namespace brevik::ui {

QString exportInstructions()
{
    return QStringLiteral("To create a QuickBooks Export File, you must first be in QuickBooks. ") +
           QStringLiteral("Click on the header called File and look for Utilities or Export. ") +
           QStringLiteral("After you click on the word Export, you will be asked which item ") +
           QStringLiteral("you wish to export. Click on the item called Customers. Next you ") +
           QStringLiteral("will be asked to name the export file.  This is best when you ") +
           QStringLiteral("identify it as the word Customer. Be sure it is placed into the ") +
           QStringLiteral("QuickBooks folder. Remember that you must specify the correct ") +
           QStringLiteral("location for this file when you Import this data to Orvella. ") +
           QStringLiteral("The Location is specified in this application under the menu item ") +
           QStringLiteral("called File and then Path Names.");
}

frmExport::frmExport(QWidget* parent)
    : QWidget(parent)
{
    m_controls.build(this, frmExportDesign());
    applyWindowDesign(this, this, frmExportDesign());
    lblInstruct = m_controls.get<QLabel>(u"lblInstruct");
    cmdPrint = m_controls.get<QPushButton>(u"cmdPrint");
    connect(cmdPrint, &QPushButton::clicked, this, &frmExport::cmdPrint_Click);
    Form_Load();
}

void frmExport::Form_Load()
{
    lblInstruct->setText(exportInstructions());
}

void frmExport::cmdPrint_Click()
{
    QPrinter printer(QPrinter::HighResolution);
    // A cancelled dialog prints nothing: the operator who dismisses it has decided against the
    // page.
    if (!choosePrinter(printer, this))
        return;
    switch (printImagePage(printer, grab().toImage())) {
    case PrintOutcome::Printed:
        break;
    case PrintOutcome::NoPrinter:
        operatorMessages().report(QStringLiteral("No printer is available to print the instructions."));
        break;
    case PrintOutcome::Failed: {
        const QString target = printer.outputFileName().isEmpty() ? printer.printerName()
                                                                  : displayPath(printer.outputFileName());
        operatorMessages().report(
            target.isEmpty() ? QStringLiteral("The instructions could not be printed.")
                             : QStringLiteral("The instructions could not be printed on %1.").arg(target));
        break;
    }
    }
}

} // namespace brevik::ui
