#include "startup.h"

#include "app/designstyle.h"
#include "app/forms.h"
#include "app/frmsplash.h"

#include <QApplication>

namespace brevik::ui {

void startProgram()
{
    QApplication::setApplicationName(QStringLiteral("Brevik"));
    // No display name: Qt would append it to every window's title, and the captions stay as
    // the windows give them.
    // Fusion, with flat buttons and drive lists, draws the design's colours on every platform.
    QApplication::setStyle(new DesignStyle);
    QApplication::setQuitOnLastWindowClosed(true);
    Forms::showModeless(&Forms::splash());
}

} // namespace brevik::ui
