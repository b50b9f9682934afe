#include "support/testexport.h"
#include "support/testsupport.h"
#include "tool/toolrun.h"
#include "writer/testdatabase.h"

#include "import/export/quickbooksfolderlock.h"
#include "import/paths.h"
#include "import/reporter.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace brevik;
using namespace brevik::testing;

// Runs that share a QuickBooks folder take turns with its QBCUST.TXT: a run that finds another
// holding the folder stops at once and says so, and a lock left by a killed run is taken over.
// scripts/quickbooks-folder-race.sh runs two imports into one folder against each other.
class tst_SharedQuickBooksFolder : public QObject
{
    Q_OBJECT

private:
    struct Folders
    {
        QTemporaryDir root;
        QString data = root.filePath(QStringLiteral("data"));
        QString quickBooks = root.filePath(QStringLiteral("qb"));
        QString exportFile = root.filePath(QStringLiteral("export.iif"));

        Folders()
        {
            QDir(root.path()).mkpath(QStringLiteral("data"));
            QDir(root.path()).mkpath(QStringLiteral("qb"));
            TestDatabase db(data);
        }
        [[nodiscard]] QString qbcust() const { return quickBooks + QStringLiteral("/QBCUST.TXT"); }
        [[nodiscard]] QString lockFile() const { return quickBooks + QStringLiteral("/QBCUST.TXT.lock"); }
        [[nodiscard]] QStringList arguments(const QString& command) const
        {
            QStringList a{command};
            if (command != u"strip")
                a << exportFile;
            a << QStringLiteral("--quickbooks-folder") << quickBooks;
            if (command != u"extract")
                a << QStringLiteral("--data-folder") << data;
            return a;
        }
        [[nodiscard]] qint64 clients() const
        {
            return TestDatabase(data, TestDatabase::Open::Existing).count(QStringLiteral("CLIENT"));
        }
    };

    static QByteArray customer(const char* name)
    {
        return TestExport().customer(QString::fromLatin1(name), QStringLiteral("1 Oak St")).bytes();
    }

private Q_SLOTS:
    void anotherRunHoldsTheFolder_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<qint64>("clients"); // stored once the folder is free
        QTest::newRow("import") << QStringLiteral("import") << qint64(1);
        QTest::newRow("extract") << QStringLiteral("extract") << qint64(0);
        QTest::newRow("strip") << QStringLiteral("strip") << qint64(1);
    }

    // Each command that writes or reads QBCUST.TXT stops at once, naming the folder, and changes
    // nothing; once the other run has ended, it runs.
    void anotherRunHoldsTheFolder()
    {
        QFETCH(QString, command);
        QFETCH(qint64, clients);
        Folders f;
        QVERIFY(writeBytes(f.exportFile, customer("Acme Supply")));
        QVERIFY(writeBytes(f.qbcust(), customer("Earlier Export")));
        QuickBooksFolderLock other(f.quickBooks);
        CapturingReporter unused;
        QVERIFY(other.take(unused));

        QElapsedTimer timer;
        timer.start();
        const ToolRun refused = runTool(f.arguments(command));
        QVERIFY2(timer.elapsed() < 10000, "the run waited for the folder");
        QCOMPARE(refused.status, 1);
        QCOMPARE(refused.errLines.size(), 1);
        QVERIFY2(
            refused.errLines.first().startsWith(
                u"brevik-import: Another import is using the QuickBooks folder " + displayPath(f.quickBooks)),
            qPrintable(refused.errLines.first()));
        QVERIFY(!refused.lastLine().isEmpty());
        QCOMPARE(readBytes(f.qbcust()), customer("Earlier Export"));
        QCOMPARE(f.clients(), 0);
        QVERIFY(QFile::exists(f.lockFile()));

        other.release();
        const ToolRun run = runTool(f.arguments(command));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(f.clients(), clients);
        QVERIFY(!QFile::exists(f.lockFile()));
    }

    void customerFileOthersCouldChange_data()
    {
        QTest::addColumn<int>("mode");       // of QBCUST.TXT as it stands before the run
        QTest::addColumn<bool>("others");    // it belongs to another user
        QTest::addColumn<bool>("strangers"); // its group is one the user does not belong to
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("said"); // empty: the run imports
        QTest::newRow("own, for its owner alone")
            << 0600 << false << false << QStringLiteral("strip") << QString();
        QTest::newRow("own, writable by its own group, as under umask 002")
            << 0664 << false << false << QStringLiteral("strip") << QString();
        QTest::newRow("writable by every user") << 0666 << false << false << QStringLiteral("strip")
                                                << QStringLiteral("every user may write to it");
        QTest::newRow("another user's") << 0644 << true << false << QStringLiteral("strip")
                                        << QStringLiteral("it belongs to the user nobody");
        QTest::newRow("writable by a group the user is not in")
            << 0664 << false << true << QStringLiteral("strip")
            << QStringLiteral("the group nogroup, to which this user does not belong, may write to it");
        // In a folder that every user may write to, another user's file stands there before START.
        QTest::newRow("another user's, writable by every user, replaced by import")
            << 0666 << true << false << QStringLiteral("import") << QString();
    }

    // STRIP reads only a QBCUST.TXT that no other user could have changed since START, and a
    // file that another user planted never lets every user write to the one START makes.
    void customerFileOthersCouldChange()
    {
#ifdef Q_OS_UNIX
        QFETCH(int, mode);
        QFETCH(bool, others);
        QFETCH(bool, strangers);
        QFETCH(QString, command);
        QFETCH(QString, said);
        if ((others || strangers) && ::geteuid() != 0)
            QSKIP("Only root can give a file to another user or group here.");
        if (strangers && ::getegid() == 65534)
            QSKIP("The user's own group is nogroup.");
        Folders f;
        // A folder that every user may write to, as QuickBooks folders shared on one machine are.
        QCOMPARE(::chmod(QFile::encodeName(f.quickBooks).constData(), 01777), 0);
        QVERIFY(writeBytes(f.exportFile, customer("Acme Supply")));
        QVERIFY(writeBytes(f.qbcust(), customer("Acme Supply")));
        const QByteArray name = QFile::encodeName(f.qbcust());
        QCOMPARE(::chmod(name.constData(), mode_t(mode)), 0);
        if (others || strangers)
            QCOMPARE(::chown(name.constData(), others ? 65534 : ::geteuid(), strangers ? 65534 : ::getegid()),
                     0);

        const ToolRun run = runTool(f.arguments(command));
        if (said.isEmpty()) {
            QCOMPARE(run.status, 0);
            QCOMPARE(run.errLines, QStringList());
            QCOMPARE(f.clients(), 1);
        } else {
            QCOMPARE(run.status, 1);
            QCOMPARE(run.errLines.size(), 1);
            QVERIFY2(run.errLines.first().startsWith(u"brevik-import: The customer file " +
                                                     displayPath(f.qbcust())),
                     qPrintable(run.errLines.first()));
            QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
            QCOMPARE(f.clients(), 0);
        }
        struct stat status = {};
        QCOMPARE(::stat(name.constData(), &status), 0);
        if (command == u"import") {
            QCOMPARE(status.st_uid, ::geteuid());
            QCOMPARE(status.st_mode & S_IWOTH, 0u);
        }
#else
        QSKIP("The owners and modes of files are a Unix matter.");
#endif
    }

    // The lock of a run that was killed names a process that is gone: the next run takes it
    // over, and gives it back when it ends.
    void lockOfAKilledRunIsTakenOver()
    {
        Folders f;
        QVERIFY(writeBytes(f.exportFile, customer("Acme Supply")));
        QByteArray left;
        {
            QLockFile lock(f.lockFile());
            QVERIFY(lock.tryLock(0));
            left = readBytes(f.lockFile());
        }
        QProcess gone;
        gone.start(QStringLiteral("true"), QStringList());
        QVERIFY(gone.waitForStarted());
        const qint64 pid = gone.processId();
        QVERIFY(gone.waitForFinished());
        left.replace(0, left.indexOf('\n'), QByteArray::number(pid));
        QVERIFY(writeBytes(f.lockFile(), left));

        const ToolRun run = runTool(f.arguments(QStringLiteral("import")));
        QCOMPARE(run.status, 0);
        QCOMPARE(run.errLines, QStringList());
        QCOMPARE(f.clients(), 1);
        QVERIFY(!QFile::exists(f.lockFile()));
    }
};

QTEST_GUILESS_MAIN(tst_SharedQuickBooksFolder)
#include "tst_sharedquickbooksfolder.moc"
