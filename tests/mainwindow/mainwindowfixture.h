#pragma once

#include "app/forms.h"
#include "app/frmbrevik.h"
#include "import/reporter.h"
#include "platform/beep.h"
#include "platform/messagebox.h"
#include "platform/openfiledialog.h"
#include "platform/textlist.h"
#include "settings/programfolder.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

namespace brevik::testing {

// One main window on its own folders: the program's folder (QBvers.Dat), the user's
// configuration folder and the QuickBooks folder (QBCUST.TXT) are temporary; the file dialog answers what the
// test says; messages and beeps are counted instead of shown and sounded.
class MainWindowFixture
{
public:
    MainWindowFixture()
    {
        setProgramFolder(programDir.path());
        setUserSettingsFolder(userDir.filePath(QStringLiteral("Brevik")));
        ui::setOperatorMessages(&messages);
        ui::setBeepHook([this] { ++beeps; });
        ui::setOpenFileDialog([this](QWidget*, const ui::OpenFileRequest& request) {
            lastRequest = request;
            return dialogAnswer;
        });
        ui::Forms::setEndHook([] {});
    }
    MainWindowFixture(const MainWindowFixture&) = delete;
    MainWindowFixture& operator=(const MainWindowFixture&) = delete;
    ~MainWindowFixture()
    {
        ui::Forms::resetForTesting();
        ui::Forms::setEndHook({});
        ui::setOpenFileDialog({});
        ui::setBeepHook({});
        ui::setOperatorMessages(nullptr);
        setProgramFolder(QString());
        setUserSettingsFolder(QString());
    }

    // The main window as the splash hands it over: folders in the hidden fields, then shown
    // and active.
    [[nodiscard]] ui::frmBrevik& showMainWindow()
    {
        ui::frmBrevik& window = ui::Forms::brevik();
        window.txtHold1->setText(dataDir.path());
        window.txtHold2->setText(quickBooksDir.path());
        ui::Forms::showModeless(&window);
        if (!QTest::qWaitForWindowActive(&window))
            qWarning("The main window did not become active");
        return window;
    }

    [[nodiscard]] QString quickBooksFile() const
    {
        return quickBooksDir.filePath(QStringLiteral("QBCUST.TXT"));
    }
    [[nodiscard]] QString versionFile() const { return programDir.filePath(QStringLiteral("QBvers.Dat")); }

    QTemporaryDir programDir;
    QTemporaryDir userDir;
    QTemporaryDir dataDir;
    QTemporaryDir quickBooksDir;
    CapturingReporter messages;
    int beeps = 0;
    std::optional<QString> dialogAnswer;
    std::optional<ui::OpenFileRequest> lastRequest;
};

// The names the main window's list shows, in order.
inline QStringList listedNames(const ui::frmBrevik& window)
{
    QStringList items;
    for (int i = 0; i < window.lstCust->count(); ++i)
        items.append(window.lstCust->text(i));
    return items;
}

} // namespace brevik::testing
