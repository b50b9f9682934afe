#pragma once

#include "app/forms.h"
#include "app/frmbrevik.h"
#include "app/frmsplash.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "platform/drives.h"
#include "platform/messagebox.h"
#include "settings/frmpath.h"
#include "settings/programfolder.h"
#include "settings/settingsfile.h"
#include "support/testsupport.h"

#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace brevik::testing {

// Every window test starts from a fresh run: a program folder and a user's configuration folder
// of its own (the latter missing until a file is written there), no window open, no
// remembered folders, messages kept in a list, and an end of the program that is only recorded.
class StartupFixture
{
public:
    static constexpr int SplashMilliseconds = 20;

    void start()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        setProgramFolder(m_dir->path());
        m_userDir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_userDir->isValid());
        setUserSettingsFolder(userSettingsPath());
        ui::Forms::resetForTesting();
        ui::Forms::setEndHook([] {});
        ui::frmPath::resetRememberedForTesting();
        ui::frmSplash::setTimerIntervalForTesting(SplashMilliseconds);
        setVolumeRootsForTesting({});
        messages.clear();
        ui::setOperatorMessages(&messages);
    }

    void finish()
    {
        ui::Forms::resetForTesting();
        ui::setOperatorMessages(nullptr);
        setVolumeRootsForTesting({});
        ui::frmSplash::setTimerIntervalForTesting(0);
        setProgramFolder({});
        setUserSettingsFolder({});
        m_dir.reset();
        m_userDir.reset();
    }

    [[nodiscard]] QString programFolderPath() const { return m_dir->path(); }
    [[nodiscard]] QString userSettingsPath() const { return m_userDir->filePath(QStringLiteral("Brevik")); }
    [[nodiscard]] QString settingsPath() const
    {
        return joinFolderAndFile(m_dir->path(), QStringLiteral("zrQBck.dat"));
    }
    bool writeSettings(const QByteArray& bytes) const { return writeBytes(settingsPath(), bytes); }
    [[nodiscard]] QByteArray settingsBytes() const { return readBytes(settingsPath()); }
    [[nodiscard]] bool settingsExist() const { return QFile::exists(settingsPath()); }

    // A folder inside the test's own folder, created with its parents; its path as a folder
    // list writes it.
    QString folder(const QString& relative) const
    {
        const QString path = m_dir->filePath(relative);
        QDir().mkpath(path);
        return QDir::toNativeSeparators(QDir::cleanPath(path));
    }

    static ui::frmPath& openPath()
    {
        ui::frmPath& window = ui::Forms::path();
        ui::Forms::showModeless(&window);
        return window;
    }

    CapturingReporter messages;

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QTemporaryDir> m_userDir;
};

} // namespace brevik::testing
