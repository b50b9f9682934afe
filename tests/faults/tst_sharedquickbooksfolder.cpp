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
        QVERIFY2(refused.errLines.first().startsWith(u"Another import is using the QuickBooks folder " +
                                                     displayPath(f.quickBooks)),
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
