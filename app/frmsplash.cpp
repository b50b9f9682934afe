#include "frmsplash.h"

namespace brevik::ui {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmSplash"));
}

} // namespace brevik::ui
