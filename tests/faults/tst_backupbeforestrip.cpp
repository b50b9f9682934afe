#include "faultsupport.h"

#include "support/testexport.h"
#include "support/testsupport.h"
#include "writer/testdatabase.h"

#include "import/reporter.h"
#include "import/writer/backup.h"
#include "import/writer/clientwriter.h"
#include "import/writer/striprun.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// STRIP copies zrdata.mdb before its first row can change it, and writes nothing when the copy
// cannot be made; the window and the tool both run it.
class tst_BackupBeforeStrip : public QObject
{
    Q_OBJECT

private:
    struct Run
    {
        StripSummary summary;
        QStringList messages;
    };

    // customersPerCommit 0: the writer's own pacing.
    static Run strip(const QString& dataFolder, const QString& customerFile, int customersPerCommit = 0)
    {
        CapturingReporter reporter;
        WindowValues values;
        values.txtHold1 = dataFolder;
        values.gOpt = QStringLiteral("0");
        StripObserver observer;
        Run run;
        {
            ClientWriter writer(reporter);
            if (customersPerCommit > 0)
                writer.setBatchLimits(customersPerCommit, 60000);
            StripRun strip(values, writer, reporter);
            run.summary = strip.run(customerFile, ExportLayout(), observer);
        }
        run.messages = reporter.messages();
        return run;
    }

    static QString customers(const QTemporaryDir& dir, const QByteArray& rows)
    {
        const QString path = dir.filePath(QStringLiteral("QBCUST.TXT"));
        return writeBytes(path, rows) ? path : QString();
    }

    static const QByteArray& twoCustomers()
    {
        static const QByteArray rows = TestExport()
                                           .customer(QStringLiteral("New One"), QStringLiteral("1 Oak St"))
                                           .customer(QStringLiteral("New Two"), QStringLiteral("2 Oak St"))
                                           .bytes();
        return rows;
    }

private Q_SLOTS:
    void copyHoldsTheStateBeforeTheRun()
    {
        QTemporaryDir dir;
        {
            TestDatabase db(dir.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client"));
        }
        const Run run = strip(dir.path(), customers(dir, twoCustomers()));
        QVERIFY(run.summary.completed);
        QCOMPARE(run.messages, QStringList());

        const QStringList backups = db::backupsOf(dir.filePath(QStringLiteral("zrdata.mdb")));
        QCOMPARE(backups.size(), 1);
        QTemporaryDir restored;
        QVERIFY(QFile::copy(backups.first(), restored.filePath(QStringLiteral("zrdata.mdb"))));
        TestDatabase before(restored.path(), TestDatabase::Open::Existing);
        QCOMPARE(before.count(QStringLiteral("CLIENT")), 1);
        TestDatabase after(dir.path(), TestDatabase::Open::Existing);
        QCOMPARE(after.count(QStringLiteral("CLIENT")), 3);
    }

    void copyStaysOnlyWhenTheRunWrote_data()
    {
        QTest::addColumn<QByteArray>("rows");
        QTest::addColumn<QString>("trigger"); // on the database before the run, unless empty
        QTest::addColumn<bool>("wrote");
        const QByteArray three = TestExport()
                                     .customer(QStringLiteral("New One"), QStringLiteral("1 Oak St"))
                                     .customer(QStringLiteral("New Two"), QStringLiteral("2 Oak St"))
                                     .customer(QStringLiteral("New Three"), QStringLiteral("3 Oak St"))
                                     .bytes();
        const QString givenUpAt =
            QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON ADDRESSES WHEN NEW.Street1 = '%1' "
                           "BEGIN SELECT RAISE(ROLLBACK, 'refused by a rule'); END");
        QTest::newRow("every customer stored") << three << QString() << true;
        QTest::newRow("stopped after a commit") << three << givenUpAt.arg(u"2 Oak St") << true;
        QTest::newRow("stopped before any commit") << three << givenUpAt.arg(u"1 Oak St") << false;
        QTest::newRow("only rows that write nothing")
            << TestExport().customer({{5, ""}, {6, "1 Oak St"}}).customer({{5, ""}}).bytes() << QString()
            << false;
        QTest::newRow("every customer refused")
            << three
            << QStringLiteral(
                   "CREATE TRIGGER t BEFORE INSERT ON CLIENT BEGIN SELECT RAISE(ABORT, 'refused by a "
                   "rule'); END")
            << false;
    }

    // A run that stored no customer takes its own copy away and no other; only a run that
    // wrote pushes the oldest backup out. Failed runs, one after another, so never push out the
    // backup made before the last import that wrote. A copy named for a later time (a clock once
    // ahead) is neither counted among the five kept nor removed.
    void copyStaysOnlyWhenTheRunWrote()
    {
        QFETCH(QByteArray, rows);
        QFETCH(QString, trigger);
        QFETCH(bool, wrote);
        QTemporaryDir dir;
        const QString database = dir.filePath(QStringLiteral("zrdata.mdb"));
        {
            TestDatabase db(dir.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client"));
            if (!trigger.isEmpty())
                db.exec(trigger);
        }
        const QString future = dir.filePath(QStringLiteral("zrdata-29991231-120000.mdb.bak"));
        QVERIFY(QFile::copy(database, future));
        for (int day = 1; day <= db::BackupsKept; ++day)
            QVERIFY(QFile::copy(database,
                                dir.filePath(QStringLiteral("zrdata-2020010%1-120000.mdb.bak").arg(day))));
        const QStringList before = db::backupsOf(database);

        const Run run = strip(dir.path(), customers(dir, rows), 1);
        QCOMPARE(run.summary.clientsAdded > 0, wrote);
        const QStringList after = db::backupsOf(database);
        if (!wrote) {
            QCOMPARE(after, before);
            return;
        }
        // Its own copy follows the later one, and the oldest of the others is gone.
        QCOMPARE(after.first(), future);
        QCOMPARE(after.mid(2), before.mid(1, db::BackupsKept - 1));
        QTemporaryDir restored;
        QVERIFY(QFile::copy(after.at(1), restored.filePath(QStringLiteral("zrdata.mdb"))));
        QCOMPARE(TestDatabase(restored.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                 1);
    }

    // A run that writes nothing needs no copy.
    void emptyFileMakesNoCopy()
    {
        QTemporaryDir dir;
        {
            TestDatabase db(dir.path());
        }
        const Run run = strip(dir.path(), customers(dir, QByteArray()));
        QVERIFY(run.summary.completed);
        QCOMPARE(db::backupsOf(dir.filePath(QStringLiteral("zrdata.mdb"))), QStringList());
    }

    void failedCopyWritesNothing_data()
    {
        QTest::addColumn<bool>("readOnlyFolder"); // else the disk is full
        QTest::addColumn<QString>("said");
        QTest::newRow("disk full") << false << QStringLiteral("disk");
        QTest::newRow("read-only folder") << true << QStringLiteral("no file can be made");
    }

    void failedCopyWritesNothing()
    {
        QFETCH(bool, readOnlyFolder);
        QFETCH(QString, said);
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("data"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data")));
        {
            TestDatabase db(data);
            db.exec(QStringLiteral("BEGIN"));
            for (int i = 0; i < 1500; ++i)
                db.addCustomer(QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')),
                               QStringLiteral("Earlier Client %1").arg(i));
            db.exec(QStringLiteral("COMMIT"));
        }
        const QString database = data + QStringLiteral("/zrdata.mdb");
        const QByteArray before = readBytes(database);
        const QString rows = customers(dir, twoCustomers());
        Run run;
        if (readOnlyFolder) {
            QVERIFY(QFile::setPermissions(data, QFile::ReadOwner | QFile::ExeOwner));
            ObeyFilePermissions obey;
            if (ObeyFilePermissions::holdsFor(data))
                run = strip(data, rows);
        } else {
            FileSizeLimit limit(64 * 1024);
            if (limit.active())
                run = strip(data, rows);
        }
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (run.messages.isEmpty() && !run.summary.completed)
            QSKIP("A full disk or a read-only folder cannot be brought about here.");

        QVERIFY(!run.summary.completed);
        QCOMPARE(run.summary.rowsRead, 0);
        QCOMPARE(run.messages.size(), 1);
        QVERIFY2(run.messages.first().contains(QDir::toNativeSeparators(database)),
                 qPrintable(run.messages.first()));
        QVERIFY2(run.messages.first().contains(said), qPrintable(run.messages.first()));
        QCOMPARE(readBytes(database), before);
        QCOMPARE(filesIn(data), QStringList{QStringLiteral("zrdata.mdb")});
    }

    // A database this user cannot write, or one whose journal file another user's run left
    // read-only, is refused by name before anything touches it: no copy is made and no journal
    // file appears beside it. Once it is writable again, the next run goes through.
    void unwritableDatabaseMakesNoCopy_data()
    {
        QTest::addColumn<QString>("readOnly"); // the file made read-only
        QTest::addColumn<QString>("said");
        QTest::newRow("zrdata.mdb") << QStringLiteral("zrdata.mdb")
                                    << QStringLiteral("The file is read-only");
        QTest::newRow("zrdata.mdb-wal")
            << QStringLiteral("zrdata.mdb-wal") << QStringLiteral("journal file %1 is read-only");
        QTest::newRow("zrdata.mdb-shm")
            << QStringLiteral("zrdata.mdb-shm") << QStringLiteral("journal file %1 is read-only");
    }

    void unwritableDatabaseMakesNoCopy()
    {
        QFETCH(QString, readOnly);
        QFETCH(QString, said);
        QTemporaryDir dir;
        {
            // A database whose last change stands in its journal still, as another program
            // that has it open leaves it.
            QTemporaryDir open;
            TestDatabase db(open.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Earlier Client"));
            for (const QString& name : {QStringLiteral("zrdata.mdb"), QStringLiteral("zrdata.mdb-wal"),
                                        QStringLiteral("zrdata.mdb-shm")})
                QVERIFY(QFile::copy(open.filePath(name), dir.filePath(name)));
        }
        const QString locked = dir.filePath(readOnly);
        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QString rows = customers(dir, twoCustomers());
        const QStringList before = filesIn(dir.path());
        Run run;
        {
            ObeyFilePermissions obey;
            if (QFile file(locked); file.open(QIODevice::ReadWrite))
                QSKIP("A read-only file still takes writes here.");
            run = strip(dir.path(), rows);
        }
        QVERIFY(!run.summary.completed);
        QCOMPARE(run.messages.size(), 1);
        const QString database = dir.filePath(QStringLiteral("zrdata.mdb"));
        QVERIFY2(run.messages.first().contains(QDir::toNativeSeparators(database)),
                 qPrintable(run.messages.first()));
        QVERIFY2(run.messages.first().contains(
                     said.contains(u"%1") ? said.arg(QDir::toNativeSeparators(locked)) : said),
                 qPrintable(run.messages.first()));
        QCOMPARE(filesIn(dir.path()), before);

        QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner));
        {
            ObeyFilePermissions obey;
            run = strip(dir.path(), rows);
        }
        QCOMPARE(run.messages, QStringList());
        QVERIFY(run.summary.completed);
        QCOMPARE(TestDatabase(dir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")), 3);
    }

    // Where there is no database to copy, the writer's message is the only one.
    void noDatabaseGivesOneMessage()
    {
        QTemporaryDir dir;
        const Run run = strip(dir.path(), customers(dir, twoCustomers()));
        QVERIFY(!run.summary.completed);
        QCOMPARE(run.messages.size(), 1);
        QVERIFY2(run.messages.first().contains(QStringLiteral("cannot be opened")),
                 qPrintable(run.messages.first()));
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("QBCUST.TXT")});
    }
};

QTEST_GUILESS_MAIN(tst_BackupBeforeStrip)
#include "tst_backupbeforestrip.moc"
