#include "settings/programfolder.h"
#include "settings/settingsfile.h"
#include "settings/versionfile.h"
#include "support/testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using brevik::canWriteIn;
using brevik::SettingsFile;
using brevik::settingsPlace;
using brevik::VersionFile;
using brevik::testing::readBytes;
using brevik::testing::writeBytes;

// Where zrQBck.dat and QBvers.Dat are kept: beside the program while its folder can be written;
// otherwise in the user's configuration folder, with the program's folder read for a file of
// which the user's folder has no copy.
class tst_SettingsPlace : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_own;  // the program's folder
    QString m_user; // the user's configuration folder, missing until a file is written there

    [[nodiscard]] QString own(const QString& name) const { return m_own + u'/' + name; }
    [[nodiscard]] QString user(const QString& name) const { return m_user + u'/' + name; }

    [[nodiscard]] SettingsFile settings(bool ownWritable) const
    {
        return SettingsFile(settingsPlace(QStringLiteral("zrQBck.dat"), m_own, m_user, ownWritable));
    }
    [[nodiscard]] VersionFile version(bool ownWritable) const
    {
        return VersionFile(settingsPlace(QStringLiteral("QBvers.Dat"), m_own, m_user, ownWritable));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_own = m_dir->filePath(QStringLiteral("program"));
        m_user = m_dir->filePath(QStringLiteral("home/.config/Brevik"));
        QVERIFY(QDir().mkpath(m_own));
    }

    void cleanup()
    {
        QFile::setPermissions(m_own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        brevik::setProgramFolder({});
        brevik::setUserSettingsFolder({});
        m_dir.reset();
    }

    void writableFolderIsAskedByWriting_data()
    {
        QTest::addColumn<QString>("folder"); // in the test's folder; "program" is a writable folder
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("writable");
        QTest::newRow("writable folder") << QStringLiteral("program") << false << true;
        QTest::newRow("read-only folder") << QStringLiteral("program") << true << false;
        QTest::newRow("missing folder") << QStringLiteral("gone") << false << false;
        QTest::newRow("a file where the folder should be") << QStringLiteral("plainfile") << false << false;
    }

    void writableFolderIsAskedByWriting()
    {
        QFETCH(QString, folder);
        QFETCH(bool, readOnly);
        QFETCH(bool, writable);
        QVERIFY(writeBytes(m_dir->filePath(QStringLiteral("plainfile")), "x"));
        if (readOnly) {
            QVERIFY(QFile::setPermissions(m_own, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                                     QFile::ExeOther));
            if (QFileInfo(m_own).isWritable())
                QSKIP("Running as root, a read-only folder can be written all the same; run the tests as "
                      "an ordinary user to try it.");
        }
        QCOMPARE(canWriteIn(m_dir->filePath(folder)), writable);
        // The question leaves nothing behind.
        QCOMPARE(QDir(m_own).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
    }

    void writableProgramFolderKeepsItsOwnFiles()
    {
        // Copies an installed run left in the user's folder do not count beside a portable copy.
        QVERIFY(QDir().mkpath(m_user));
        QVERIFY(writeBytes(user(QStringLiteral("zrQBck.dat")), "/user/data\r\n/user/qb\r\n"));
        QVERIFY(writeBytes(user(QStringLiteral("QBvers.Dat")), "1\r\n"));
        QVERIFY(writeBytes(own(QStringLiteral("zrQBck.dat")), "/own/data\r\n/own/qb\r\n"));

        QCOMPARE(settings(true).read().folders.dataFolder, QStringLiteral("/own/data"));
        QCOMPARE(version(true).read(), std::nullopt);
        QCOMPARE(settings(true).write({QStringLiteral("/d"), QStringLiteral("/q")}), std::nullopt);
        QCOMPARE(version(true).write(QStringLiteral("0")), std::nullopt);
        QCOMPARE(readBytes(own(QStringLiteral("zrQBck.dat"))), QByteArray("/d\r\n/q\r\n"));
        QCOMPARE(readBytes(own(QStringLiteral("QBvers.Dat"))), QByteArray("0\r\n"));
        QCOMPARE(readBytes(user(QStringLiteral("zrQBck.dat"))), QByteArray("/user/data\r\n/user/qb\r\n"));
        QCOMPARE(readBytes(user(QStringLiteral("QBvers.Dat"))), QByteArray("1\r\n"));
    }

    void userFolderTakesOverFromAnUnwritableProgramFolder()
    {
        // An administrator's defaults beside the program are read while the user has no copy.
        QVERIFY(writeBytes(own(QStringLiteral("zrQBck.dat")), "/defaults/data\r\n/defaults/qb\r\n"));
        QVERIFY(writeBytes(own(QStringLiteral("QBvers.Dat")), "1\r\n"));
        QCOMPARE(settings(false).read().folders.dataFolder, QStringLiteral("/defaults/data"));
        QCOMPARE(version(false).read(), QStringLiteral("1"));

        // The first saving creates the user's folder and leaves the defaults as they were.
        QCOMPARE(settings(false).writtenPath(), user(QStringLiteral("zrQBck.dat")));
        QCOMPARE(settings(false).write({QStringLiteral("/mine/data"), QStringLiteral("/mine/qb")}),
                 std::nullopt);
        QCOMPARE(readBytes(user(QStringLiteral("zrQBck.dat"))), QByteArray("/mine/data\r\n/mine/qb\r\n"));
        QCOMPARE(readBytes(own(QStringLiteral("zrQBck.dat"))),
                 QByteArray("/defaults/data\r\n/defaults/qb\r\n"));

        // From then on the user's copy counts; each file on its own, so the version stays the
        // administrator's until the user chooses one.
        const brevik::SettingsRead read = settings(false).read();
        QCOMPARE(read.folders.dataFolder, QStringLiteral("/mine/data"));
        QCOMPARE(read.folders.quickBooksFolder, QStringLiteral("/mine/qb"));
        QCOMPARE(version(false).read(), QStringLiteral("1"));
        QCOMPARE(version(false).write(QStringLiteral("0")), std::nullopt);
        QCOMPARE(version(false).read(), QStringLiteral("0"));
        QCOMPARE(readBytes(own(QStringLiteral("QBvers.Dat"))), QByteArray("1\r\n"));
    }

    // The XDG rules: an absolute XDG_CONFIG_HOME holds the user's folder; a relative one is
    // ignored for ~/.config, so that the settings do not follow the folder the program starts in.
    void userFolderFollowsXdgConfigHome_data()
    {
        QTest::addColumn<QString>("configHome");
        QTest::addColumn<QString>("folder");
        const QString app = QCoreApplication::applicationName();
        const QString home = QDir::homePath() + QStringLiteral("/.config/") + app;
        QTest::newRow("absolute") << QStringLiteral("/srv/config") << QStringLiteral("/srv/config/") + app;
        QTest::newRow("relative") << QStringLiteral("config") << home;
        QTest::newRow("relative to the current folder") << QStringLiteral("./config") << home;
        QTest::newRow("empty") << QString() << home;
    }

    void userFolderFollowsXdgConfigHome()
    {
        QFETCH(QString, configHome);
        QFETCH(QString, folder);
#if !defined(Q_OS_UNIX) || defined(Q_OS_DARWIN)
        QSKIP("The user's configuration folder follows XDG_CONFIG_HOME only where the XDG rules hold.");
#endif
        const QByteArray before = qgetenv("XDG_CONFIG_HOME");
        const bool wasSet = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", configHome.toLocal8Bit());
        const QString found = brevik::userSettingsFolder();
        if (wasSet)
            qputenv("XDG_CONFIG_HOME", before);
        else
            qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(found, folder);
    }

    // Through the program's own files, as the windows and the tool take them.
    void programsFilesFollowTheRule_data()
    {
        QTest::addColumn<bool>("readOnly"); // else the program's folder is missing
        QTest::newRow("read-only program folder") << true;
        QTest::newRow("missing program folder") << false;
    }

    void programsFilesFollowTheRule()
    {
        QFETCH(bool, readOnly);
        brevik::setUserSettingsFolder(m_user);
        if (readOnly) {
            QVERIFY(QFile::setPermissions(m_own, QFile::ReadOwner | QFile::ExeOwner));
            if (QFileInfo(m_own).isWritable())
                QSKIP("Running as root, a read-only folder can be written all the same; run the tests as "
                      "an ordinary user to try it.");
            brevik::setProgramFolder(m_own);
        } else {
            brevik::setProgramFolder(m_dir->filePath(QStringLiteral("gone")));
        }

        QCOMPARE(SettingsFile::ofProgram().write({QStringLiteral("/d"), QStringLiteral("/q")}), std::nullopt);
        QCOMPARE(VersionFile::ofProgram().write(QStringLiteral("1")), std::nullopt);
        QCOMPARE(readBytes(user(QStringLiteral("zrQBck.dat"))), QByteArray("/d\r\n/q\r\n"));
        QCOMPARE(readBytes(user(QStringLiteral("QBvers.Dat"))), QByteArray("1\r\n"));
        QCOMPARE(SettingsFile::ofProgram().read().folders.quickBooksFolder, QStringLiteral("/q"));
        QCOMPARE(VersionFile::ofProgram().read(), QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(tst_SettingsPlace)
#include "tst_settingsplace.moc"
