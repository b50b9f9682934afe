#include "frmpath.h"

namespace brevik::ui {

frmPath::frmPath(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmPath"));
    setWindowTitle(QStringLiteral("Location of Orvella OE and QuickBooks Folders"));
}

} // namespace brevik::ui
