#include "enginetest.h"

#include "import/engine/statement.h"
#include "support/testsupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace brevik::db;
using namespace brevik::testing;
using namespace Qt::Literals::StringLiterals;

// Opening refuses every file that is not a sound database of ours without writing a byte to
// it, and opens our own shared with other programs.
class tst_OpenDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A database of several pages, as an import leaves it.
    QByteArray databaseBytes()
    {
        const QString file = path(u"source.mdb"_s);
        QFile::remove(file);
        if (!createDatabase(file).ok())
            return {};
        auto db = openDatabase(file);
        if (!db ||
            !db->exec(u"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
                      "INSERT INTO CLIENT (ClientID, Name) SELECT printf('%06d', i), 'Client ' || i FROM n"_s)
                 .ok())
            return {};
        db.reset();
        return readBytes(file);
    }

    static QStringList filesIn(const QString& folder)
    {
        return QDir(folder).entryList(QDir::Files, QDir::Name);
    }

private Q_SLOTS:
    void refusesFilesNotOurs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("says");
        const QByteArray jet =
            QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(2028, '\x5a');
        QByteArray ace = jet;
        ace.replace(4, 15, "Standard ACE DB");
        const QByteArray database = databaseBytes();
        QVERIFY(database.size() > 8 * 4096);
        QByteArray badHeader = database;
        badHeader.replace(16, 2, "\x00\x07", 2); // a page size SQLite cannot have

        QTest::newRow("Access, Jet") << jet << int(ErrNotADatabase) << u"Microsoft Access"_s;
        QTest::newRow("Access, ACE") << ace << int(ErrNotADatabase) << u"Microsoft Access"_s;
        QTest::newRow("text file") << QByteArray("CUST\tAcme Supply\r\n") << int(ErrNotADatabase)
                                   << u"not a database"_s;
        QTest::newRow("empty file") << QByteArray() << int(ErrNotADatabase) << u"empty"_s;
        QTest::newRow("a few bytes") << QByteArray("SQLite") << int(ErrNotADatabase) << u"not a database"_s;
        QTest::newRow("truncated to half")
            << database.left(database.size() / 2) << int(ErrCorrupt) << u"damaged"_s;
        QTest::newRow("truncated to its first page")
            << database.left(4096) << int(ErrCorrupt) << u"damaged"_s;
        QTest::newRow("damaged header") << badHeader << int(ErrNotADatabase) << u"not a database"_s;
    }
    void refusesFilesNotOurs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QFETCH(QString, says);
        QTemporaryDir folder;
        const QString file = folder.filePath(u"zrdata.mdb"_s);
        QVERIFY(writeBytes(file, bytes));

        std::unique_ptr<Database> db;
        const Status refused = Database::open(file, Database::Mode::OpenExisting, db);
        QCOMPARE(refused.number(), error);
        QVERIFY2(refused.description().contains(says), qPrintable(refused.description()));
        QVERIFY(!db);
        QCOMPARE(readBytes(file), bytes);
        QCOMPARE(filesIn(folder.path()), QStringList{u"zrdata.mdb"_s}); // no journal left beside it
    }

    void missingFileIsNotCreated()
    {
        std::unique_ptr<Database> db;
        const Status missing = Database::open(path(u"absent.mdb"_s), Database::Mode::OpenExisting, db);
        QCOMPARE(missing.number(), int(ErrFileNotFound));
        QVERIFY(!QFile::exists(path(u"absent.mdb"_s)));
        QCOMPARE(Database::open(m_dir.path(), Database::Mode::OpenExisting, db).number(), int(ErrCannotOpen));
    }

    void opensWithSharedJournal()
    {
        // A database from another program, in the default rollback-journal mode.
        const QString file = path(u"plain.mdb"_s);
        std::unique_ptr<Database> db;
        QVERIFY_OK(Database::open(file, Database::Mode::Create, db));
        QVERIFY_OK(db->exec(u"PRAGMA journal_mode = DELETE; CREATE TABLE T (a)"_s));
        db.reset();
        QCOMPARE(readBytes(file).mid(18, 2), QByteArray("\x01\x01", 2));

        db = openDatabase(file);
        QVERIFY(db);
        QCOMPARE(readBytes(file).mid(18, 2), QByteArray("\x02\x02", 2)); // write-ahead log
    }

    void dataVersionSeesOtherConnections()
    {
        const QString file = path(u"versions.mdb"_s);
        QVERIFY_OK(createDatabase(file));
        auto ours = openDatabase(file);
        auto theirs = openDatabase(file);
        QVERIFY(ours && theirs);
        qint64 first = 0, second = 0, third = 0;
        QVERIFY_OK(ours->dataVersion(first));
        QVERIFY_OK(ours->exec(u"INSERT INTO CLIENT (Name) VALUES ('ours')"_s));
        QVERIFY_OK(ours->dataVersion(second));
        QCOMPARE(second, first); // our own commits do not count
        QVERIFY_OK(theirs->exec(u"INSERT INTO CLIENT (Name) VALUES ('theirs')"_s));
        QVERIFY_OK(ours->dataVersion(third));
        QVERIFY(third != second);
    }

    void writeWaitsForAnotherProgramsLock()
    {
        const QString file = path(u"locked.mdb"_s);
        QVERIFY_OK(createDatabase(file));
        auto ours = openDatabase(file);
        auto theirs = openDatabase(file);
        QVERIFY(ours && theirs);
        QVERIFY_OK(theirs->begin());
        QElapsedTimer waited;
        waited.start();
        std::thread release([&theirs] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            (void)theirs->commit();
        });
        const Status begun = ours->begin();
        release.join();
        QVERIFY_OK(begun);
        QVERIFY(waited.elapsed() >= 250);
        ours->rollback();
        QVERIFY(!ours->inTransaction());
    }

    void transactionRollsBackUnlessCommitted()
    {
        const QString file = path(u"transactions.mdb"_s);
        QVERIFY_OK(createDatabase(file));
        auto db = openDatabase(file);
        QVERIFY(db);
        for (const bool commit : {false, true}) {
            Transaction transaction(*db);
            QVERIFY_OK(transaction.begin());
            QVERIFY(db->inTransaction());
            QVERIFY_OK(db->exec(commit ? u"INSERT INTO CLIENT (Name) VALUES ('kept')"_s
                                       : u"INSERT INTO CLIENT (Name) VALUES ('dropped')"_s));
            if (commit)
                QVERIFY_OK(transaction.commit());
        }
        QVERIFY(!db->inTransaction());
        Statement* names = nullptr;
        QVERIFY_OK(db->cached(u"SELECT group_concat(Name) FROM CLIENT"_s, names));
        bool hasRow = false;
        QVERIFY_OK(names->step(hasRow));
        QCOMPARE(names->column(0), QVariant(u"kept"_s));
    }
};

QTEST_GUILESS_MAIN(tst_OpenDatabase)
#include "tst_opendatabase.moc"
