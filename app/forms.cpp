#include "forms.h"

#include "app/folderhandover.h"
#include "app/frmbrevik.h"
#include "app/frmsplash.h"
#include "platform/windowplacement.h"
#include "settings/frmpath.h"
#include "windows/frmabout.h"
#include "windows/frmbackups.h"
#include "windows/frmexport.h"
#include "windows/frmpreview.h"

#include <QApplication>
#include <QWidget>

#include <type_traits>

namespace brevik::ui {
namespace {

struct Registry
{
    QPointer<frmBrevik> brevik;
    QPointer<frmPath> path;
    QPointer<frmSplash> splash;
    QPointer<frmExport> exportWindow;
    QPointer<frmAbout> about;
    QPointer<frmPreview> preview;
    QPointer<frmBackups> backups;
    std::function<void()> endHook;
    bool endRequested = false;
};

Registry& registry()
{
    static Registry r;
    return r;
}

// When one of the other windows closes, the main window becomes the active window again, as
// it does on the platform the program was made for, whether or not a window manager hands the
// activation back; becoming active is what resets its height.
void returnToMainWindow()
{
    frmBrevik* main = registry().brevik.data();
    if (main && main->isVisible() && !main->isActiveWindow() && !QApplication::activeModalWidget())
        main->activateWindow();
}

// Creates the window when it does not exist; setUp connects a new window to the program.
template<typename Window> Window& ensure(QPointer<Window>& slot, void (*setUp)(Window&) = nullptr)
{
    if (!slot) {
        slot = new Window();
        slot->setAttribute(Qt::WA_DeleteOnClose);
        if constexpr (!std::is_same_v<Window, frmBrevik>)
            QObject::connect(slot.data(), &QObject::destroyed, [] { returnToMainWindow(); });
        if (setUp)
            setUp(*slot);
    }
    return *slot;
}

} // namespace

frmBrevik& Forms::brevik()
{
    return ensure(registry().brevik);
}
frmPath& Forms::path()
{
    return ensure(registry().path, &followFolderWindow);
}
frmSplash& Forms::splash()
{
    return ensure(registry().splash);
}
frmExport& Forms::exportWindow()
{
    return ensure(registry().exportWindow);
}
frmAbout& Forms::about()
{
    return ensure(registry().about);
}

frmPreview& Forms::preview()
{
    return ensure(registry().preview);
}
frmBackups& Forms::backups()
{
    return ensure(registry().backups);
}

frmBrevik* Forms::existingBrevik()
{
    return registry().brevik.data();
}
frmPath* Forms::existingPath()
{
    return registry().path.data();
}
frmSplash* Forms::existingSplash()
{
    return registry().splash.data();
}
frmExport* Forms::existingExport()
{
    return registry().exportWindow.data();
}
frmAbout* Forms::existingAbout()
{
    return registry().about.data();
}
frmPreview* Forms::existingPreview()
{
    return registry().preview.data();
}
frmBackups* Forms::existingBackups()
{
    return registry().backups.data();
}

void Forms::showModeless(QWidget* window)
{
    if (!window)
        return;
    if (!window->isVisible())
        showCentred(window);
    window->raise();
    window->activateWindow();
}

void Forms::closeAll()
{
    Registry& r = registry();
    const QList<QWidget*> open = {r.splash.data(),  r.path.data(),    r.exportWindow.data(), r.about.data(),
                                  r.preview.data(), r.backups.data(), r.brevik.data()};
    for (QWidget* window : open)
        if (window && window->isVisible())
            window->close();
}

void Forms::endProgram()
{
    Registry& r = registry();
    const QList<QWidget*> all = {r.splash.data(),  r.path.data(),    r.exportWindow.data(), r.about.data(),
                                 r.preview.data(), r.backups.data(), r.brevik.data()};
    for (QWidget* window : all) {
        if (window) {
            window->hide();
            // The request comes from inside a window's own handler (EXIT, its close request),
            // so the window may only go once that handler has returned.
            window->deleteLater();
        }
    }
    r.brevik = nullptr;
    r.path = nullptr;
    r.splash = nullptr;
    r.exportWindow = nullptr;
    r.about = nullptr;
    r.preview = nullptr;
    r.backups = nullptr;
    r.endRequested = true;
    if (r.endHook)
        r.endHook();
    else
        QCoreApplication::exit(0);
}

void Forms::setEndHook(std::function<void()> hook)
{
    registry().endHook = std::move(hook);
}
bool Forms::endRequested()
{
    return registry().endRequested;
}

void Forms::resetForTesting()
{
    Registry& r = registry();
    const QList<QWidget*> all = {r.splash.data(),  r.path.data(),    r.exportWindow.data(), r.about.data(),
                                 r.preview.data(), r.backups.data(), r.brevik.data()};
    for (QWidget* window : all)
        delete window;
    r.endRequested = false;
}

} // namespace brevik::ui
