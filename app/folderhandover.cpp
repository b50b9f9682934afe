#include "folderhandover.h"

#include "app/forms.h"
#include "app/frmbrevik.h"
#include "settings/frmpath.h"
#include "settings/settingsfile.h"

#include <QCoreApplication>
#include <QLineEdit>

namespace brevik::ui {

void handOverFolders(const FolderSettings& folders)
{
    frmBrevik& main = Forms::brevik();
    main.txtHold1->setText(folders.dataFolder);
    main.txtHold2->setText(folders.quickBooksFolder);
    if (!main.isVisible())
        Forms::showModeless(&main);
}

void followFolderWindow(frmPath& window)
{
    QObject::connect(&window, &frmPath::continued, &window, &handOverFolders);
    QObject::connect(&window, &frmPath::closedWithoutContinuing, &window, [] {
        const frmBrevik* main = Forms::existingBrevik();
        // The window is still inside its own close event, so the ending waits for the event loop.
        if (!main || !main->isVisible())
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] { Forms::endProgram(); }, Qt::QueuedConnection);
    });
}

} // namespace brevik::ui
