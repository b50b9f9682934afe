#include "faultsupport.h"

#include "support/testsupport.h"
#include "writer/testdatabase.h"

#include "import/writer/backup.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;
using Outcome = db::Backup::Outcome;
using Cause = db::Backup::Cause;

// The copy of zrdata.mdb made before a run writes: a sound copy under a dated name, the five
// newest kept, and a clear refusal when no copy can be made.
class tst_Backup : public QObject
{
    Q_OBJECT

private:
    static QDateTime at(int day, int hour = 12, int minute = 0, int second = 0)
    {
        return QDateTime(QDate(2026, 12, day), QTime(hour, minute, second));
    }

    static void fill(TestDatabase& db, int customers)
    {
        db.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < customers; ++i)
            db.addCustomer(QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')),
                           QStringLiteral("Customer %1 with a name of some length").arg(i));
        db.exec(QStringLiteral("COMMIT"));
    }

private Q_SLOTS:
    void copyHoldsTheDatabase()
    {
        QTemporaryDir dir;
        TestDatabase db(dir.path());
        fill(db, 50);
        // The invoicing system may hold the database open, with rows not yet checkpointed.
        db.addCustomer(QStringLiteral("000999"), QStringLiteral("In the journal only"));

        const db::Backup backup = db::backUpDatabase(db.path(), at(8, 1, 30, 55));
        QCOMPARE(backup.outcome, Outcome::Made);
        QCOMPARE(backup.path, dir.filePath(QStringLiteral("zrdata-20261208-013055.mdb.bak")));
        db.close();

        const QString restored = dir.filePath(QStringLiteral("restored"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("restored")));
        QVERIFY(QFile::copy(backup.path, restored + QStringLiteral("/zrdata.mdb")));
        TestDatabase copy(restored, TestDatabase::Open::Existing);
        QCOMPARE(copy.count(QStringLiteral("CLIENT")), 51);
        QCOMPARE(copy.count(QStringLiteral("CONTACTS")), 51);
        QCOMPARE(copy.value(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
        // Nothing is left beside the database but the copy.
        QCOMPARE(filesIn(dir.path()), (QStringList{QStringLiteral("zrdata-20261208-013055.mdb.bak"),
                                                   QStringLiteral("zrdata.mdb")}));
    }

    void copiesWithinOneSecondKeepApart()
    {
        QTemporaryDir dir;
        TestDatabase db(dir.path());
        QStringList made;
        for (int i = 0; i < 3; ++i)
            made << QFileInfo(db::backUpDatabase(db.path(), at(8, 1, 30, 55)).path).fileName();
        QCOMPARE(made, (QStringList{QStringLiteral("zrdata-20261208-013055.mdb.bak"),
                                    QStringLiteral("zrdata-20261208-013055-2.mdb.bak"),
                                    QStringLiteral("zrdata-20261208-013055-3.mdb.bak")}));
        QCOMPARE(db::backupsOf(db.path()).first(), dir.filePath(made.last()));
    }

    void keepsTheFiveNewest()
    {
        QTemporaryDir dir;
        TestDatabase db(dir.path());
        const QStringList others{QStringLiteral("zrdata-old.mdb.bak"), QStringLiteral("notes.bak"),
                                 QStringLiteral("zrdata-20200101-000000.mdb.bak.txt"),
                                 QStringLiteral("other-20200101-000000.mdb.bak")};
        for (const QString& name : others)
            QVERIFY(writeBytes(dir.filePath(name), "not ours"));
        for (int day = 1; day <= 7; ++day) {
            const db::Backup backup = db::backUpDatabase(db.path(), at(day));
            QCOMPARE(backup.outcome, Outcome::Made);
            db::settleBackup(backup, db.path(), true);
        }
        QStringList kept;
        for (const QString& path : db::backupsOf(db.path()))
            kept << QFileInfo(path).fileName();
        QCOMPARE(kept, (QStringList{QStringLiteral("zrdata-20261207-120000.mdb.bak"),
                                    QStringLiteral("zrdata-20261206-120000.mdb.bak"),
                                    QStringLiteral("zrdata-20261205-120000.mdb.bak"),
                                    QStringLiteral("zrdata-20261204-120000.mdb.bak"),
                                    QStringLiteral("zrdata-20261203-120000.mdb.bak")}));
        for (const QString& name : others)
            QCOMPARE(readBytes(dir.filePath(name)), QByteArray("not ours"));

        // A clock set back: the copy just made stays, and so do the others, which now lie after
        // the run's time.
        db::settleBackup(db::backUpDatabase(db.path(), at(2)), db.path(), true);
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("zrdata-20261202-120000.mdb.bak"))));
        QCOMPARE(db::backupsOf(db.path()).size(), 6);
    }

    void nothingToCopy_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("folder"); // zrdata.mdb is a folder
        QByteArray access(2048, '\0');
        access.replace(4, 15, "Standard Jet DB");
        QTest::newRow("no database") << QByteArray() << false;
        QTest::newRow("an Access file") << access << false;
        QTest::newRow("a text file") << QByteArray("Name,Phone\r\nAcme,555\r\n") << false;
        QTest::newRow("a file of no bytes") << QByteArray("") << false;
        QTest::newRow("a folder") << QByteArray() << true;
    }

    // The writer's own message says what the file is; no copy is attempted.
    void nothingToCopy()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, folder);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zrdata.mdb"));
        if (folder)
            QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("zrdata.mdb")));
        else if (!content.isNull())
            QVERIFY(writeBytes(path, content));
        QCOMPARE(db::backUpDatabase(path, at(8)).outcome, Outcome::NotAttempted);
        QCOMPARE(filesIn(dir.path()),
                 content.isNull() ? QStringList() : QStringList{QStringLiteral("zrdata.mdb")});
    }

    void fullDiskStopsTheCopy()
    {
        QTemporaryDir dir;
        TestDatabase db(dir.path());
        fill(db, 2000);
        db.close();
        db::Backup backup;
        {
            FileSizeLimit limit(64 * 1024);
            if (!limit.active())
                QSKIP("The file size limit cannot be set here.");
            backup = db::backUpDatabase(db.path(), at(8, 1, 30, 55));
        }
        QCOMPARE(backup.outcome, Outcome::Failed);
        QCOMPARE(backup.cause, Cause::CannotCopy);
        const QString message = backup.message(db.path());
        QVERIFY2(message.contains(QDir::toNativeSeparators(db.path())), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("zrdata-20261208-013055.mdb.bak")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("disk")), qPrintable(message));
        // A half-made copy leaves nothing behind.
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("zrdata.mdb")});
    }

    void readOnlyFolderStopsTheCopy()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("data"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("data")));
        {
            TestDatabase db(folder);
            fill(db, 10);
        }
        const QString path = folder + QStringLiteral("/zrdata.mdb");
        QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
        db::Backup backup;
        {
            ObeyFilePermissions obey;
            if (!ObeyFilePermissions::holdsFor(folder)) {
                QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
                QSKIP("A read-only folder still takes files here.");
            }
            backup = db::backUpDatabase(path, at(8));
        }
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(backup.outcome, Outcome::Failed);
        QCOMPARE(backup.cause, Cause::CannotCopy);
        const QString message = backup.message(path);
        QVERIFY2(message.contains(QDir::toNativeSeparators(folder)), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("Nothing was imported")), qPrintable(message));
        QCOMPARE(filesIn(folder), QStringList{QStringLiteral("zrdata.mdb")});
    }

    // The unfinished copy of a stopped run, and the journal the engine kept beside it, are
    // removed by a later copy once they are a day old; younger ones may belong to a run still
    // copying, and files of other names are not ours.
    void staleLeftoversAreRemoved()
    {
        QTemporaryDir dir;
        TestDatabase db(dir.path());
        const QStringList stale{QStringLiteral("zrdata.mdb.1a2b3c4d.part"),
                                QStringLiteral("zrdata.mdb.1a2b3c4d.part-journal"),
                                QStringLiteral("zrdata.mdb.0badf00d.part-journal")};
        const QStringList kept{QStringLiteral("zrdata.mdb.5e6f7a8b.part-journal"),
                               QStringLiteral("zrdata.mdb.notours.part-journal")};
        for (const QString& name : stale + kept) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            const bool young = name.contains(u"5e6f7a8b");
            QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(young ? -3600 : -25 * 3600),
                                     QFileDevice::FileModificationTime));
        }
        QCOMPARE(db::backUpDatabase(db.path(), at(8)).outcome, Outcome::Made);
        for (const QString& name : stale)
            QVERIFY2(!QFile::exists(dir.filePath(name)), qPrintable(name));
        for (const QString& name : kept)
            QVERIFY2(QFile::exists(dir.filePath(name)), qPrintable(name));
    }

    // Some of the system's reasons end with a full stop of their own ("Source file does not
    // exist."); each sentence of the message still ends once.
    void messageEndsEachSentenceOnce()
    {
        for (const Cause cause : {Cause::CannotCopy, Cause::Damaged}) {
            db::Backup backup;
            backup.outcome = Outcome::Failed;
            backup.cause = cause;
            backup.path = QStringLiteral("/data/zrdata-20261208-120000.mdb.bak");
            backup.reason = QStringLiteral("Source file does not exist.");
            const QString message = backup.message(QStringLiteral("/data/zrdata.mdb"));
            QVERIFY2(message.contains(u"Source file does not exist") && !message.contains(u".."),
                     qPrintable(message));
        }
    }

    void damagedDatabase_data()
    {
        QTest::addColumn<int>("damage"); // 0: truncated to half, 1: a page overwritten, 2: only the header
        QTest::newRow("truncated to half") << 0;
        QTest::newRow("a page overwritten") << 1;
        QTest::newRow("only the first 50 bytes") << 2;
    }

    void damagedDatabase()
    {
        QFETCH(int, damage);
        QTemporaryDir dir;
        {
            TestDatabase db(dir.path());
            fill(db, 500);
        }
        const QString path = dir.filePath(QStringLiteral("zrdata.mdb"));
        QByteArray bytes = readBytes(path);
        QVERIFY(bytes.size() > 16 * 4096);
        if (damage == 0)
            bytes.truncate(bytes.size() / 2);
        else if (damage == 1)
            bytes.replace(8 * 4096, 4096, QByteArray(4096, '\x5a'));
        else
            bytes.truncate(50);
        QVERIFY(writeBytes(path, bytes));

        const db::Backup backup = db::backUpDatabase(path, at(8));
        QCOMPARE(backup.outcome, Outcome::Failed);
        QCOMPARE(backup.cause, Cause::Damaged);
        const QString message = backup.message(path);
        QVERIFY2(message.contains(QStringLiteral("is damaged")), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
        // The damaged file is neither copied nor changed, and no good backup is pushed out.
        QCOMPARE(filesIn(dir.path()), QStringList{QStringLiteral("zrdata.mdb")});
        QCOMPARE(readBytes(path), bytes);
    }
};

QTEST_GUILESS_MAIN(tst_Backup)
#include "tst_backup.moc"
