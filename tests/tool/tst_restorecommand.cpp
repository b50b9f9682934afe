#include "toolrun.h"

#include "support/testsupport.h"
#include "writer/testdatabase.h"

#include "import/writer/backup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

using namespace brevik;
using namespace brevik::testing;

namespace {

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

QDateTime at(int day, int hour = 12)
{
    return QDateTime(QDate(2026, 12, day), QTime(hour, 0));
}

const char* const Tables[] = {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"};

// Every row of the four tables of the database in folder.
QList<QList<QVariantList>> rowsOf(const QString& folder)
{
    TestDatabase db(folder, TestDatabase::Open::Existing);
    QList<QList<QVariantList>> rows;
    for (const char* table : Tables)
        rows << db.rows(QLatin1StringView(table));
    return rows;
}

// The rows of a backup, read from a copy of it so that the backup itself is never opened.
QList<QList<QVariantList>> rowsOfBackup(const QString& backup)
{
    QTemporaryDir copy;
    if (!QFile::copy(backup, copy.filePath(QStringLiteral("zrdata.mdb"))))
        return {};
    return rowsOf(copy.path());
}

ToolRun restore(const QString& backup, const QString& data)
{
    return runTool({QStringLiteral("restore"), backup, QStringLiteral("--data-folder"), data});
}

} // namespace

// brevik-import backups and restore: a backup is put back only while no other program has the
// database open, after a copy of the database as it stands, and leaves no journal behind.
class tst_RestoreCommand : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_backup; // of three clients, made on 7 December
    QString m_data;

private Q_SLOTS:
    void init()
    {
        m_data = m_dir.filePath(QStringLiteral("data"));
        QDir(m_data).removeRecursively();
        QVERIFY(QDir().mkpath(m_data));
        TestDatabase db(m_data);
        for (int i = 0; i < 3; ++i)
            db.addCustomer(QStringLiteral("00010%1").arg(i), QStringLiteral("Before %1").arg(i));
        m_backup = db::backUpDatabase(db.path(), at(7)).path;
        QVERIFY(!m_backup.isEmpty());
        for (int i = 3; i < 10; ++i)
            db.addCustomer(QStringLiteral("00010%1").arg(i), QStringLiteral("After %1").arg(i));
    }

    // While another program has the database open, even idle, the restore is refused and
    // changes nothing; once it has closed it, the database holds the backup's rows.
    void restoresOnceNoOtherProgramHasItOpen()
    {
        const QByteArray backupBytes = readBytes(m_backup);
        const QList<QList<QVariantList>> current = rowsOf(m_data);
        {
            TestDatabase other(m_data, TestDatabase::Open::Existing);
            QCOMPARE(other.count(QStringLiteral("CLIENT")), 10);
            const QStringList files = filesIn(m_data);
            const ToolRun refused = restore(m_backup, m_data);
            QCOMPARE(refused.status, 1);
            QCOMPARE(refused.errLines.size(), 1);
            QVERIFY2(refused.errLines.first().contains(u"is open in another program"),
                     qPrintable(refused.errLines.first()));
            QCOMPARE(filesIn(m_data), files);
            QCOMPARE(other.count(QStringLiteral("CLIENT")), 10);
        }

        // By its name alone, as the list of backups shows it.
        const ToolRun done = restore(QFileInfo(m_backup).fileName(), m_data);
        QCOMPARE(done.status, 0);
        QCOMPARE(done.errLines, QStringList());
        // Nothing tells a backup of this database from another database put under its name, so
        // what it holds is set against what it replaces before it is put back.
        QCOMPARE(done.out.section(u'\n', 0, 0),
                 QStringLiteral("The backup %1, made 2026-12-07 12:00:00, holds 3 clients; the Orvella "
                                "database %2 holds 10 clients now.")
                     .arg(QDir::toNativeSeparators(m_backup),
                          QDir::toNativeSeparators(m_data + QStringLiteral("/zrdata.mdb"))));
        QCOMPARE(rowsOf(m_data), rowsOfBackup(m_backup));
        QCOMPARE(readBytes(m_backup), backupBytes);
        // The database as it stood was copied first, and no journal file is left.
        const QStringList backups = db::backupsOf(m_data + QStringLiteral("/zrdata.mdb"));
        QCOMPARE(backups.size(), 2);
        QCOMPARE(rowsOfBackup(backups.first()), current);
        QVERIFY2(done.lastLine().contains(QDir::toNativeSeparators(backups.first())),
                 qPrintable(done.lastLine()));
        QCOMPARE(filesIn(m_data), sorted({QFileInfo(backups.first()).fileName(),
                                          QFileInfo(m_backup).fileName(), QStringLiteral("zrdata.mdb")}));
    }

    // A program that was stopped left rows in the journal, and its index beside it: they are
    // part of the database that is copied first, and gone once the backup stands in its place.
    void journalLeftByAStoppedProgram()
    {
        const QString crashed = m_dir.filePath(QStringLiteral("crashed"));
        QDir(crashed).removeRecursively();
        QVERIFY(QDir().mkpath(crashed));
        {
            TestDatabase db(m_data, TestDatabase::Open::Existing);
            db.exec(QStringLiteral("PRAGMA wal_autocheckpoint = 0"));
            db.addCustomer(QStringLiteral("000200"), QStringLiteral("Only in the journal"));
            // The files as a program that is killed now leaves them.
            for (const QString& suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
                QVERIFY(QFile::copy(db.path() + suffix, crashed + QStringLiteral("/zrdata.mdb") + suffix));
        }
        QVERIFY(QFile::copy(m_backup, crashed + u'/' + QFileInfo(m_backup).fileName()));

        const ToolRun done = restore(QFileInfo(m_backup).fileName(), crashed);
        QCOMPARE(done.status, 0);
        QCOMPARE(rowsOf(crashed), rowsOfBackup(m_backup));
        const QString safety = db::backupsOf(crashed + QStringLiteral("/zrdata.mdb")).first();
        QCOMPARE(rowsOfBackup(safety).first().size(), 11);
        QCOMPARE(filesIn(crashed), sorted({QFileInfo(safety).fileName(), QFileInfo(m_backup).fileName(),
                                           QStringLiteral("zrdata.mdb")}));
    }

    void refused_data()
    {
        QTest::addColumn<QString>("name");     // in the data folder; the backup of init when empty
        QTest::addColumn<QByteArray>("bytes"); // written there first, unless null
        QTest::addColumn<QString>("said");
        QTest::newRow("the database itself") << QStringLiteral("zrdata.mdb") << QByteArray()
                                             << QStringLiteral("is the Orvella database itself");
        QTest::newRow("not named as a backup") << QStringLiteral("zrdata-copy.mdb.bak") << QByteArray("copy")
                                               << QStringLiteral("is not a backup of the Orvella database");
        QTest::newRow("not there") << QStringLiteral("zrdata-20261201-120000.mdb.bak") << QByteArray()
                                   << QStringLiteral("does not exist");
        QTest::newRow("a text file of a backup's name")
            << QStringLiteral("zrdata-20261201-120000.mdb.bak") << QByteArray("ClientID,Name\r\n")
            << QStringLiteral("is not a database");
        QTest::newRow("damaged") << QString() << QByteArray() << QStringLiteral("is damaged");
        // A link in the place of a journal file of the database, with the backup of init.
        for (const char* journal : {"zrdata.mdb-wal", "zrdata.mdb-journal", "zrdata.mdb-shm"})
            QTest::addRow("a link named %s", journal)
                << QString::fromLatin1(journal) << QByteArray()
                << QStringLiteral("is a link to another file, and such a link is refused");
    }

    // A file that is not a sound backup of this database is refused before anything is touched.
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, said);
        QString backup = name.isEmpty() ? m_backup : m_data + u'/' + name;
        if (name.startsWith(u"zrdata.mdb-")) {
            const QString elsewhere = m_dir.filePath(QStringLiteral("elsewhere"));
            QVERIFY(writeBytes(elsewhere, QByteArray()));
            QVERIFY(QFile::link(elsewhere, backup));
            backup = m_backup;
        }
        if (!bytes.isNull())
            QVERIFY(writeBytes(backup, bytes));
        if (name.isEmpty()) {
            QByteArray damaged = readBytes(m_backup);
            QVERIFY(damaged.size() > 3 * 4096);
            damaged.replace(2 * 4096, 4096, QByteArray(4096, '\x33'));
            QVERIFY(writeBytes(m_backup, damaged));
        }
        const QStringList files = filesIn(m_data);
        const QByteArray database = readBytes(m_data + QStringLiteral("/zrdata.mdb"));
        const ToolRun run = restore(backup, m_data);
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines.size(), 1);
        QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
        QVERIFY(run.errLines.first().endsWith(u"Nothing was changed."));
        QCOMPARE(filesIn(m_data), files);
        QCOMPARE(readBytes(m_data + QStringLiteral("/zrdata.mdb")), database);
    }

    // A database that is gone is made anew from the backup.
    void missingDatabaseIsMadeAnew()
    {
        QVERIFY(QFile::remove(m_data + QStringLiteral("/zrdata.mdb")));
        const ToolRun done = restore(m_backup, m_data);
        QCOMPARE(done.status, 0);
        QCOMPARE(rowsOf(m_data), rowsOfBackup(m_backup));
        QCOMPARE(db::backupsOf(m_data + QStringLiteral("/zrdata.mdb")).size(), 1);
    }

    // A copy whose name lies after now comes first, with a note; the others follow newest first.
    void backupsAreListedNewestFirst()
    {
        QVERIFY(!db::backUpDatabase(m_data + QStringLiteral("/zrdata.mdb"), at(8, 9)).failed());
        const QString future = m_data + QStringLiteral("/zrdata-29991231-120000.mdb.bak");
        QVERIFY(QFile::copy(m_backup, future));
        const ToolRun run = runTool({QStringLiteral("backups"), QStringLiteral("--data-folder"), m_data});
        QCOMPARE(run.status, 0);
        const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY2(lines.at(1).startsWith(u"2999-12-31 12:00:00") &&
                     lines.at(1).contains(QDir::toNativeSeparators(future) +
                                          QStringLiteral("  (its time is in the future")),
                 qPrintable(lines.at(1)));
        QVERIFY2(lines.at(2).startsWith(u"2026-12-08 09:00:00") && lines.at(2).contains(u" 10  "),
                 qPrintable(lines.at(2)));
        QVERIFY2(lines.at(3).startsWith(u"2026-12-07 12:00:00") && lines.at(3).contains(u"  3  ") &&
                     lines.at(3).contains(QDir::toNativeSeparators(m_backup)),
                 qPrintable(lines.at(3)));
        QCOMPARE(filesIn(m_data).size(), 4); // nothing made beside them by reading them

        // For scripts, the size in bytes.
        const ToolRun csv = runTool(
            {QStringLiteral("backups"), QStringLiteral("--data-folder"), m_data, QStringLiteral("--csv")});
        QCOMPARE(csv.status, 0);
        const QList<QStringList> rows = csvRows(csv.out.toUtf8());
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.first(),
                 (QStringList{QStringLiteral("made"), QStringLiteral("size_bytes"), QStringLiteral("clients"),
                              QStringLiteral("backup"), QStringLiteral("note")}));
        QCOMPARE(rows.at(3), (QStringList{QStringLiteral("2026-12-07 12:00:00"),
                                          QString::number(QFileInfo(m_backup).size()), QStringLiteral("3"),
                                          QDir::toNativeSeparators(m_backup), QString()}));
    }
};

QTEST_GUILESS_MAIN(tst_RestoreCommand)
#include "tst_restorecommand.moc"
