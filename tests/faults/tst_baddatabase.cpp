#include "faultsupport.h"

#include "support/testexport.h"
#include "support/testsupport.h"
#include "tool/toolrun.h"
#include "writer/testdatabase.h"

#include "import/writer/backup.h"

#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <optional>
#include <utility>

using namespace brevik;
using namespace brevik::testing;

// A zrdata.mdb or a data folder that is not what it should be: brevik-import strip says so in
// one message naming the file, writes nothing and never changes a file that is not sound.
class tst_BadDatabase : public QObject
{
    Q_OBJECT

private:
    enum Setup
    {
        NoFile,
        TextFile,
        AccessFile,
        EmptyFile,
        Truncated,
        PageOverwritten,
        NoContactsTable,
        NoZipField,
        FolderNamedLikeTheFile,
        FolderNamedLikeTheJournal, // a folder zrdata.mdb-wal beside a sound database
        WalIsALink,                // zrdata.mdb-wal beside a sound database links to a file elsewhere
        JournalIsALink,            // and so zrdata.mdb-journal
        ShmIsALink,                // and zrdata.mdb-shm
        FolderInsideAFile,
        PlainAccountKey,  // CUSTOMERS.CustomerID a plain number field, not an auto-number
        RollbackOnInsert, // the second customer's address ends the whole transaction
        RollbackOnUpdate, // the third customer, an existing client, ends it at its client row
        LockedByAnother,  // another program holds the write lock throughout (plans only)
    };

    static void fill(const QString& folder)
    {
        TestDatabase db(folder);
        db.exec(QStringLiteral("BEGIN"));
        for (int i = 0; i < 400; ++i)
            db.addCustomer(QStringLiteral("%1").arg(100 + i, 6, 10, QLatin1Char('0')),
                           QStringLiteral("Earlier Client %1 of some length").arg(i));
        db.exec(QStringLiteral("COMMIT"));
    }

    // Prepares the data folder; returns the data folder to give the tool.
    static QString prepare(Setup setup, const QTemporaryDir& dir)
    {
        const QString data = dir.filePath(QStringLiteral("data"));
        QDir(dir.path()).mkpath(QStringLiteral("data"));
        const QString path = data + QStringLiteral("/zrdata.mdb");
        QByteArray access(2048, '\0');
        access.replace(4, 15, "Standard Jet DB");
        switch (setup) {
        case NoFile:
            break;
        case TextFile:
            writeBytes(path, "ClientID,Name\r\n000100,Acme\r\n");
            break;
        case AccessFile:
            writeBytes(path, access);
            break;
        case EmptyFile:
            writeBytes(path, QByteArray());
            break;
        case Truncated:
        case PageOverwritten: {
            fill(data);
            QByteArray bytes = readBytes(path);
            if (setup == Truncated)
                bytes.truncate(bytes.size() / 2);
            else
                bytes.replace(6 * 4096, 4096, QByteArray(4096, '\x33'));
            writeBytes(path, bytes);
            break;
        }
        case NoContactsTable:
        case NoZipField: {
            fill(data);
            TestDatabase db(data, TestDatabase::Open::Existing);
            db.exec(setup == NoContactsTable ? QStringLiteral("DROP TABLE CONTACTS")
                                             : QStringLiteral("ALTER TABLE CLIENT DROP COLUMN Zip"));
            break;
        }
        case LockedByAnother:
            fill(data);
            break;
        case PlainAccountKey:
        case RollbackOnInsert:
        case RollbackOnUpdate: {
            fill(data);
            TestDatabase db(data, TestDatabase::Open::Existing);
            if (setup == PlainAccountKey) {
                db.exec(QStringLiteral("ALTER TABLE CUSTOMERS RENAME TO OLD"));
                db.exec(QStringLiteral(
                    "CREATE TABLE CUSTOMERS (CustomerID INTEGER, AcctNo TEXT, AcctName TEXT, "
                    "Tax INTEGER, MainPhone TEXT, CreditLimit INTEGER, PastDue30 INTEGER, "
                    "PastDue60 INTEGER, PastDue90 INTEGER, PastDue120 INTEGER, AcctTypeID TEXT)"));
                db.exec(QStringLiteral("INSERT INTO CUSTOMERS SELECT * FROM OLD"));
                db.exec(QStringLiteral("DROP TABLE OLD"));
            } else if (setup == RollbackOnInsert) {
                db.exec(QStringLiteral(
                    "CREATE TRIGGER t BEFORE INSERT ON ADDRESSES WHEN NEW.Street1 = '2 Oak St' "
                    "BEGIN SELECT RAISE(ROLLBACK, 'refused by a rule'); END"));
            } else {
                db.exec(QStringLiteral("CREATE TRIGGER t BEFORE UPDATE ON CLIENT WHEN NEW.Addr1 = '3 Oak St' "
                                       "BEGIN SELECT RAISE(ROLLBACK, 'refused by a rule'); END"));
            }
            break;
        }
        case FolderNamedLikeTheFile:
            QDir(data).mkpath(QStringLiteral("zrdata.mdb"));
            break;
        case FolderNamedLikeTheJournal:
            fill(data);
            QDir(data).mkpath(QStringLiteral("zrdata.mdb-wal"));
            break;
        case WalIsALink:
        case JournalIsALink:
        case ShmIsALink: {
            fill(data);
            const QString elsewhere = dir.filePath(QStringLiteral("elsewhere"));
            writeBytes(elsewhere, QByteArray());
            const QString suffix = setup == WalIsALink       ? QStringLiteral("-wal")
                                   : setup == JournalIsALink ? QStringLiteral("-journal")
                                                             : QStringLiteral("-shm");
            QFile::link(elsewhere, path + suffix);
            break;
        }
        case FolderInsideAFile:
            writeBytes(dir.filePath(QStringLiteral("afile")), "a file, not a folder");
            return dir.filePath(QStringLiteral("afile/data"));
        }
        return data;
    }

    // Two new customers, then one whose name an earlier client of fill() holds.
    static QByteArray customerFile()
    {
        return TestExport()
            .customer(QStringLiteral("New One"), QStringLiteral("1 Oak St"))
            .customer(QStringLiteral("New Two"), QStringLiteral("2 Oak St"))
            .customer(QStringLiteral("Earlier Client 3 of some length"), QStringLiteral("3 Oak St"))
            .bytes();
    }

private Q_SLOTS:
    void stripSaysWhyOnce_data()
    {
        QTest::addColumn<int>("setup");
        QTest::addColumn<QString>("said");
        QTest::addColumn<int>("backups");    // copies left beside the database
        QTest::addColumn<bool>("unchanged"); // the file is left byte for byte

        QTest::newRow("no zrdata.mdb") << int(NoFile) << QStringLiteral("does not exist") << 0 << true;
        QTest::newRow("a text file") << int(TextFile) << QStringLiteral("not a database") << 0 << true;
        QTest::newRow("an Access file") << int(AccessFile) << QStringLiteral("Microsoft Access") << 0 << true;
        QTest::newRow("a file of no bytes") << int(EmptyFile) << QStringLiteral("empty") << 0 << true;
        QTest::newRow("truncated") << int(Truncated) << QStringLiteral("is damaged") << 0 << true;
        QTest::newRow("a page overwritten")
            << int(PageOverwritten) << QStringLiteral("is damaged") << 0 << true;
        QTest::newRow("no CONTACTS table")
            << int(NoContactsTable) << QStringLiteral("CONTACTS") << 0 << false;
        QTest::newRow("no Zip field") << int(NoZipField) << QStringLiteral("Zip") << 0 << false;
        QTest::newRow("a folder named zrdata.mdb")
            << int(FolderNamedLikeTheFile) << QStringLiteral("cannot be read") << 0 << true;
        QTest::newRow("a folder named zrdata.mdb-wal")
            << int(FolderNamedLikeTheJournal)
            << QStringLiteral("zrdata.mdb-wal beside it, where the database "
                              "keeps its journal, is a folder")
            << 0 << true;
        for (const auto& [setup, name] :
             {std::pair{WalIsALink, "zrdata.mdb-wal"}, std::pair{JournalIsALink, "zrdata.mdb-journal"},
              std::pair{ShmIsALink, "zrdata.mdb-shm"}})
            QTest::addRow("a link named %s", name)
                << int(setup)
                << QStringLiteral("%1 beside it, where the database keeps its journal, is a link to "
                                  "another file, and such a link is refused")
                       .arg(QLatin1StringView(name))
                << 0 << true;
        QTest::newRow("data folder inside a file")
            << int(FolderInsideAFile) << QStringLiteral("does not exist") << 0 << true;
        QTest::newRow("account key not an auto-number")
            << int(PlainAccountKey) << QStringLiteral("CustomerID of the table CUSTOMERS") << 0 << false;
        QTest::newRow("transaction given up by a new customer")
            << int(RollbackOnInsert) << QStringLiteral("rows 1 to 2 were not stored") << 0 << false;
        QTest::newRow("transaction given up by an existing client")
            << int(RollbackOnUpdate) << QStringLiteral("rows 1 to 3 were not stored") << 0 << false;
    }

    void stripSaysWhyOnce()
    {
        QFETCH(int, setup);
        QFETCH(QString, said);
        QFETCH(int, backups);
        QFETCH(bool, unchanged);

        QTemporaryDir dir;
        const QString data = prepare(Setup(setup), dir);
        const QString database = data + QStringLiteral("/zrdata.mdb");
        const QByteArray before = readBytes(database);
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("QBCUST.TXT")), customerFile()));

        const QString report = dir.filePath(QStringLiteral("report.csv"));
        const ToolRun run =
            runTool({QStringLiteral("strip"), QStringLiteral("--data-folder"), data,
                     QStringLiteral("--quickbooks-folder"), dir.path(), QStringLiteral("--qb-version"),
                     QStringLiteral("0"), QStringLiteral("--report"), report});
        QCOMPARE(run.status, 1);
        QCOMPARE(run.errLines.size(), 1);
        // The report accounts for every row read: each one was lost with the run, the cause its note.
        const QList<QStringList> reported = csvRows(readBytes(report));
        QCOMPARE(QStringLiteral("rows read: %1,").arg(reported.size() - 1),
                 run.lastLine().section(u',', 0, 0) + u',');
        for (qsizetype row = 1; row < reported.size(); ++row)
            QCOMPARE(reported.at(row).mid(2), (QStringList{QStringLiteral("refused"), QString(),
                                                           run.errLines.first().section(u' ', 1)}));
        QVERIFY2(run.errLines.first().contains(said), qPrintable(run.errLines.first()));
        QVERIFY2(run.errLines.first().contains(QDir::toNativeSeparators(database)),
                 qPrintable(run.errLines.first()));
        // Only customers whose rows were committed are counted, and here none were.
        QVERIFY2(run.lastLine().contains(u"clients added: 0, clients updated: 0,"),
                 qPrintable(run.lastLine()));
        QCOMPARE(db::backupsOf(database).size(), backups);
        if (unchanged)
            QCOMPARE(readBytes(database), before);
        if (!unchanged) {
            TestDatabase db(data, TestDatabase::Open::Existing);
            QCOMPARE(db.count(QStringLiteral("CLIENT")), 400);
        }
        if (setup >= PlainAccountKey) {
            // Not a row of the customers was written, on its own or otherwise.
            TestDatabase db(data, TestDatabase::Open::Existing);
            for (const char* table : {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"})
                QCOMPARE(db.count(QLatin1StringView(table)), 400);
            QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM ADDRESSES WHERE Street1 LIKE '% Oak St'"))
                         .toLongLong(),
                     0);
        }
    }

    void planSaysWhatImportSays_data()
    {
        stripSaysWhyOnce_data();
        QTest::newRow("locked by another program")
            << int(LockedByAnother) << QStringLiteral("is locked by another program") << 1 << false;
    }

    // A plan of a bad database gives the messages of an import of the same export, in a copy of
    // the same folder, in its own words where the import's speak of the import; it never names
    // its private copy, and neither changes the database nor makes a file beside it.
    void planSaysWhatImportSays()
    {
        QFETCH(int, setup);
        QFETCH(QString, said);
        QTemporaryDir planned;
        QTemporaryDir imported;
        const QString plannedData = prepare(Setup(setup), planned);
        const QString importedData = prepare(Setup(setup), imported);
        const QString exportFile = planned.filePath(QStringLiteral("export.iif"));
        QVERIFY(writeBytes(exportFile, customerFile()));
        const auto folder = [](const QString& path) {
            return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                        QDir::System);
        };
        // Read before the other program opens it: closing a file that this process has open
        // would drop the locks of that program's connection, which lives in this process.
        const QByteArray before = readBytes(plannedData + QStringLiteral("/zrdata.mdb"));
        std::optional<TestDatabase> other;
        if (setup == LockedByAnother) {
            other.emplace(plannedData, TestDatabase::Open::Existing);
            other->exec(QStringLiteral("BEGIN IMMEDIATE"));
        }
        const QStringList files = folder(plannedData);

        const ToolRun plan = runTool({QStringLiteral("plan"), exportFile, QStringLiteral("--data-folder"),
                                      plannedData, QStringLiteral("--qb-version"), QStringLiteral("0")});
        QCOMPARE(plan.status, 1);
        QCOMPARE(plan.errLines.size(), 1);
        QVERIFY2(plan.errLines.first().contains(said), qPrintable(plan.errLines.first()));
        QVERIFY2(!plan.errLines.first().section(u' ', 1).contains(u"import", Qt::CaseInsensitive),
                 qPrintable(plan.errLines.first()));
        QVERIFY2(!plan.errLines.first().contains(u"brevik-plan-"), qPrintable(plan.errLines.first()));
        QCOMPARE(folder(plannedData), files);
        other.reset();
        QCOMPARE(readBytes(plannedData + QStringLiteral("/zrdata.mdb")), before);

        // The other program holds the lock while the import waits for it.
        if (setup == LockedByAnother)
            other.emplace(importedData, TestDatabase::Open::Existing).exec(QStringLiteral("BEGIN IMMEDIATE"));
        const ToolRun import = runTool({QStringLiteral("import"), exportFile, QStringLiteral("--data-folder"),
                                        importedData, QStringLiteral("--quickbooks-folder"), imported.path(),
                                        QStringLiteral("--qb-version"), QStringLiteral("0")});
        QCOMPARE(import.errLines.size(), 1);
        QString importSaid = import.errLines.first();
        importSaid.replace(QDir::toNativeSeparators(importedData), QDir::toNativeSeparators(plannedData));
        if (!importSaid.section(u' ', 1).contains(u"import", Qt::CaseInsensitive))
            QCOMPARE(plan.errLines.first(), importSaid);
        else
            QVERIFY2(importSaid.contains(said), qPrintable(importSaid));
    }

    // A disk that fills up is named as full wherever the run meets it: writing QBCUST.TXT,
    // copying zrdata.mdb, or storing the customers. The room left is stepped through finely
    // where the copy and the journal meet it, where the engine's own words are "disk I/O error".
    void fullDiskIsNamed()
    {
        QTemporaryDir dir;
        const QString disk = dir.filePath(QStringLiteral("disk"));
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("disk")));
        const SmallDisk small(disk, 1 << 20);
        if (!small.active())
            QSKIP("No small disk can be mounted here; that takes root.");
        const QString exportFile = dir.filePath(QStringLiteral("export.iif"));
        TestExport rows;
        for (int i = 0; i < 1500; ++i)
            rows.customer({{5, "Customer " + QByteArray::number(i)},
                           {6, QByteArray::number(i) + " Oak St"},
                           {7, "Springfield, IL 62704"}});
        QVERIFY(rows.writeTo(exportFile));

        int failed = 0;
        for (qint64 room = 0; room < (1 << 20); room += room < (256 << 10) ? (8 << 10) : (64 << 10)) {
            for (const QString& name : QDir(disk).entryList(QDir::NoDotAndDotDot | QDir::AllEntries))
                QVERIFY(name == u"data" ? QDir(disk + u"/data").removeRecursively()
                                        : QFile::remove(disk + u'/' + name));
            QVERIFY(QDir(disk).mkpath(QStringLiteral("data")));
            fill(disk + QStringLiteral("/data"));
            const qint64 filler = QStorageInfo(disk).bytesAvailable() - room;
            QVERIFY(filler <= 0 || writeBytes(disk + QStringLiteral("/filler"), QByteArray(filler, 'x')));
            const ToolRun run =
                runTool({QStringLiteral("import"), exportFile, QStringLiteral("--data-folder"),
                         disk + QStringLiteral("/data"), QStringLiteral("--quickbooks-folder"), disk});
            if (run.status == 0)
                continue;
            ++failed;
            QCOMPARE(run.status, 1);
            QCOMPARE(run.errLines.size(), 1);
            QVERIFY2(run.errLines.first().contains(u"the disk is full"),
                     qPrintable(QStringLiteral("%1 bytes free: %2").arg(room).arg(run.errLines.first())));
        }
        QVERIFY(failed > 0);
    }

    // A customer the database refuses is named in its message, counted, and gives the run the exit
    // status of refused customers; the customers it does not refuse are still written.
    void refusedCustomersFailTheRun()
    {
        QTemporaryDir dir;
        const QString data = prepare(NoFile, dir);
        fill(data);
        {
            TestDatabase db(data, TestDatabase::Open::Existing);
            db.exec(
                QStringLiteral("CREATE TRIGGER t BEFORE INSERT ON CLIENT BEGIN SELECT RAISE(ABORT, 'no new "
                               "clients'); END"));
        }
        QVERIFY(writeBytes(dir.filePath(QStringLiteral("QBCUST.TXT")), customerFile()));
        const ToolRun run = runTool({QStringLiteral("strip"), QStringLiteral("--data-folder"), data,
                                     QStringLiteral("--quickbooks-folder"), dir.path(),
                                     QStringLiteral("--qb-version"), QStringLiteral("0")});
        // The run went through every row: it completed, with customers refused.
        QCOMPARE(run.status, 3);
        QCOMPARE(run.errLines.size(), 2);
        for (const QString& name :
             {QStringLiteral("New One\" (row 1)"), QStringLiteral("New Two\" (row 2)")}) {
            const auto named = std::find_if(run.errLines.begin(), run.errLines.end(),
                                            [&name](const QString& line) { return line.contains(name); });
            const qsizetype at = named == run.errLines.end() ? -1 : named - run.errLines.begin();
            QVERIFY2(at >= 0, qPrintable(run.errLines.join(u'\n')));
            QVERIFY(run.errLines.at(at).startsWith(u"brevik-import: Error Number equals 3317 "));
            QVERIFY(run.errLines.at(at).contains(u"no new clients"));
        }
        QCOMPARE(run.lastLine(),
                 QStringLiteral("rows read: 3, clients added: 0, clients updated: 1, rows that "
                                "wrote nothing: 0, customers refused: 2, jobs passed over: 0"));
    }
};

QTEST_GUILESS_MAIN(tst_BadDatabase)
#include "tst_baddatabase.moc"
