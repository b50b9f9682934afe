#include "startup.h"

#include "app/forms.h"
#include "app/frmsplash.h"
#include "platform/designstyle.h"
#include "settings/programfolder.h"

#include <QApplication>

namespace brevik::ui {

void startProgram()
{
    // The name gives the user's configuration folder, which the window shares with the tool.
    QApplication::setApplicationName(programName());
    // Desktops match the windows to the installed menu entry, and so to its icon, by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(BREVIK_APP_ID));
    // No display name: Qt would append it to every window's title, and the captions stay as
    // the windows give them.
    // Fusion, with flat buttons and drive lists, draws the design's colours on every platform.
    QApplication::setStyle(new DesignStyle);
    QApplication::setQuitOnLastWindowClosed(true);
    Forms::showModeless(&Forms::splash());
}

} // namespace brevik::ui
