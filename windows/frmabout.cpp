#include "frmabout.h"

namespace brevik::ui {

frmAbout::frmAbout(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About Importing"));
}

} // namespace brevik::ui
