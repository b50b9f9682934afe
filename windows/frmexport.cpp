#include "frmexport.h"

namespace brevik::ui {

frmExport::frmExport(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Exporting Customers from QuickBooks"));
}

} // namespace brevik::ui
