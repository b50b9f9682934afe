#include "startup.h"

#include "app/forms.h"
#include "app/frmsplash.h"

#include <QApplication>
#include <QStyleFactory>

namespace brevik::ui {

void startProgram()
{
    QApplication::setApplicationName(QStringLiteral("Brevik"));
    // No display name: Qt would append it to every window's title, and the captions stay as
    // the windows give them.
    // Fusion draws the design's colours on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(true);
    Forms::showModeless(&Forms::splash());
}

} // namespace brevik::ui
