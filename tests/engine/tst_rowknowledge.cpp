#include "enginetest.h"

#include "import/engine/datacontrol.h"
#include "import/engine/recordset.h"
#include "import/engine/workspace.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik::db;
using brevik::testing::EngineFixture;
using namespace Qt::Literals::StringLiterals;

// Within a write transaction a recordset keeps what it has seen of the rows (the last row of a
// table, that a row it found is there, which field is the rowid) and leaves out of an UPDATE the
// fields that already hold their value. Whatever else changes the rows in between, a move, a
// read or an update must come out as if it had asked the database afresh.
class tst_RowKnowledge : public QObject, protected EngineFixture
{
    Q_OBJECT

private:
    qint64 number(const QString& sql)
    {
        Statement statement;
        bool hasRow = false;
        if (!database().prepare(sql, statement).ok() || !statement.step(hasRow).ok() || !hasRow)
            return -1;
        return statement.columnInt64(0);
    }

    void addContacts(int count)
    {
        for (int i = 0; i < count; ++i)
            QVERIFY_OK(database().exec(u"INSERT INTO CONTACTS (CustomerID, Name) VALUES (7, 'Contact')"_s));
    }

private Q_SLOTS:
    void init()
    {
        m_workspace.closeAll();
        QFile::remove(m_dir.filePath(u"zrdata.mdb"_s));
        m_path = brevik::testing::createCustomerDatabase(m_dir.path());
        QVERIFY(!m_path.isEmpty());
    }
    void cleanup() { m_workspace.closeAll(); }

    void lastRowFollowsEveryWrite_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("a row added through another recordset") << u"recordset"_s;
        QTest::newRow("a row added with an explicit lower key") << u"lower key"_s;
        QTest::newRow("the last row deleted by SQL") << u"delete"_s;
        QTest::newRow("a row added by a statement prepared earlier") << u"kept statement"_s;
        QTest::newRow("a trigger adding a second row") << u"trigger"_s;
        QTest::newRow("another program between two transactions") << u"other program"_s;
    }
    void lastRowFollowsEveryWrite()
    {
        QFETCH(QString, change);
        addContacts(3);
        if (change == u"trigger")
            QVERIFY_OK(database().exec(
                u"CREATE TRIGGER echo AFTER INSERT ON CONTACTS WHEN NEW.Name = 'New' BEGIN "
                "INSERT INTO CONTACTS (CustomerID, Name) VALUES (NEW.CustomerID, 'Echo'); END"_s));
        Statement kept;
        QVERIFY_OK(database().prepare(u"INSERT INTO CONTACTS (CustomerID, Name) VALUES (8, 'Kept')"_s, kept));
        const auto reader = control(u"CONTACTS"_s);
        const auto writer = control(u"CONTACTS"_s);
        QVERIFY(reader && writer);

        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(reader->Recordset()->MoveLast()); // learnt within the transaction
        if (change == u"recordset" || change == u"trigger" || change == u"lower key") {
            Recordset& rs = *writer->Recordset();
            QVERIFY_OK(rs.AddNew());
            QVERIFY_OK(rs.setValue("Name"_L1, u"New"_s));
            if (change == u"lower key")
                QVERIFY_OK(rs.setValue("ContactID"_L1, qint64(-5)));
            QVERIFY_OK(rs.Update());
        } else if (change == u"delete") {
            QVERIFY_OK(database().exec(u"DELETE FROM CONTACTS WHERE ContactID = 3"_s));
        } else if (change == u"kept statement") {
            QVERIFY_OK(kept.run());
        } else {
            QVERIFY_OK(transaction.commit());
            auto theirs = brevik::testing::openDatabase(m_path);
            QVERIFY(theirs);
            QVERIFY_OK(theirs->exec(u"INSERT INTO CONTACTS (CustomerID, Name) VALUES (9, 'Theirs')"_s));
            QVERIFY_OK(transaction.begin());
        }
        QVERIFY_OK(reader->Recordset()->MoveLast());
        QCOMPARE(reader->Recordset()->currentRowid(), number(u"SELECT max(rowid) FROM CONTACTS"_s));
        QVERIFY_OK(writer->Recordset()->MoveLast());
        QCOMPARE(writer->Recordset()->currentRowid(), number(u"SELECT max(rowid) FROM CONTACTS"_s));
        QVERIFY_OK(transaction.commit());
    }

    void foundRowThatVanishedIsMissed_data()
    {
        QTest::addColumn<bool>("byKeptStatement");
        QTest::newRow("deleted by SQL") << false;
        QTest::newRow("deleted by a statement prepared earlier") << true;
    }
    void foundRowThatVanishedIsMissed()
    {
        QFETCH(bool, byKeptStatement);
        addContacts(2);
        Statement kept;
        QVERIFY_OK(database().prepare(u"DELETE FROM CONTACTS WHERE ContactID = 2"_s, kept));
        const auto contacts = control(u"CONTACTS"_s);
        QVERIFY(contacts);
        Recordset& rs = *contacts->Recordset();

        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(rs.MoveLast());
        QCOMPARE(rs.currentRowid(), qint64(2));
        if (byKeptStatement)
            QVERIFY_OK(kept.run());
        else
            QVERIFY_OK(database().exec(u"DELETE FROM CONTACTS WHERE ContactID = 2"_s));
        QVariant key;
        QCOMPARE(rs.value("ContactID"_L1, key).number(), int(ErrNoCurrentRecord));
        QCOMPARE(rs.moveTo(2).number(), int(ErrNoCurrentRecord));
        QVERIFY_OK(transaction.commit());
    }

    void rowidFieldIsReadOnlyWhenItIsTheRowid_data()
    {
        QTest::addColumn<QString>("declaration");
        QTest::addColumn<qint64>("expected"); // the field's value in the row of rowid 1
        QTest::newRow("INTEGER PRIMARY KEY: the rowid itself") << u"k INTEGER PRIMARY KEY"_s << qint64(1);
        QTest::newRow("INTEGER PRIMARY KEY DESC: a field of its own")
            << u"k INTEGER PRIMARY KEY DESC"_s << qint64(50);
        QTest::newRow("INT PRIMARY KEY: a field of its own") << u"k INT PRIMARY KEY"_s << qint64(50);
        QTest::newRow("a plain field") << u"k INTEGER"_s << qint64(50);
    }
    void rowidFieldIsReadOnlyWhenItIsTheRowid()
    {
        QFETCH(QString, declaration);
        QFETCH(qint64, expected);
        QVERIFY_OK(database().exec(u"CREATE TABLE T (%1, v TEXT)"_s.arg(declaration)));
        // Without an alias the rowid stays 1 while the field holds 50.
        QVERIFY_OK(database().exec(expected == 1 ? u"INSERT INTO T (k, v) VALUES (1, 'a')"_s
                                                 : u"INSERT INTO T (rowid, k, v) VALUES (1, 50, 'a')"_s));
        const auto table = control(u"T"_s);
        QVERIFY(table);
        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(table->Recordset()->MoveLast());
        QVariant key;
        QVERIFY_OK(table->Recordset()->value("k"_L1, key));
        QCOMPARE(key, QVariant(expected));
        QVERIFY_OK(transaction.commit());
    }

    void writtenValueIsStoredExactly_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("written");
        QTest::addColumn<QString>("type");  // typeof() of the field afterwards
        QTest::addColumn<QString>("value"); // the field afterwards, as text
        QTest::newRow("same text") << QVariant(u"Acme"_s) << QVariant(u"Acme"_s) << u"text"_s << u"Acme"_s;
        QTest::newRow("same text beyond ASCII")
            << QVariant(u"Caf\u00e9"_s) << QVariant(u"Caf\u00e9"_s) << u"text"_s << u"Caf\u00e9"_s;
        QTest::newRow("a blank more")
            << QVariant(u"Acme"_s) << QVariant(u"Acme "_s) << u"text"_s << u"Acme "_s;
        QTest::newRow("empty text over null") << QVariant() << QVariant(u""_s) << u"text"_s << u""_s;
        QTest::newRow("null over empty text") << QVariant(u""_s) << QVariant() << u"null"_s << QString();
        QTest::newRow("a number over the same digits")
            << QVariant(u"0"_s) << QVariant(qint64(0)) << u"integer"_s << u"0"_s;
        QTest::newRow("a whole number over a real one")
            << QVariant(1.0) << QVariant(qint64(1)) << u"integer"_s << u"1"_s;
        QTest::newRow("yes over 1") << QVariant(qint64(1)) << QVariant(true) << u"integer"_s << u"1"_s;
        QTest::newRow("a lone surrogate, as toUtf8 writes it")
            << QVariant(u"a"_s) << QVariant(QString(QChar(0xD800))) << u"text"_s << u"?"_s;
    }
    void writtenValueIsStoredExactly()
    {
        QFETCH(QVariant, stored);
        QFETCH(QVariant, written);
        QFETCH(QString, type);
        QFETCH(QString, value);
        QVERIFY_OK(database().exec(u"CREATE TABLE T (k INTEGER PRIMARY KEY, v, w TEXT)"_s));
        Statement insert;
        QVERIFY_OK(database().prepare(u"INSERT INTO T (v, w) VALUES (?1, 'x')"_s, insert));
        QVERIFY_OK(insert.bind(1, stored));
        QVERIFY_OK(insert.run());
        const auto table = control(u"T"_s);
        QVERIFY(table);
        Recordset& rs = *table->Recordset();

        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(rs.MoveLast());
        QVariant before;
        QVERIFY_OK(rs.value("v"_L1, before)); // the row is read, so its values can be compared
        QVERIFY_OK(rs.Edit());
        QVERIFY_OK(rs.setValue("v"_L1, written));
        QVERIFY_OK(rs.setValue("w"_L1, u"x"_s));
        QVERIFY_OK(rs.Update());
        QVERIFY_OK(transaction.commit());

        Statement check;
        QVERIFY_OK(database().prepare(u"SELECT typeof(v), v FROM T"_s, check));
        bool hasRow = false;
        QVERIFY_OK(check.step(hasRow));
        QVERIFY(hasRow);
        QCOMPARE(check.column(0).toString(), type);
        QCOMPARE(check.column(1).toString(), value);
    }

    void triggerSeesEveryWrite()
    {
        QVERIFY_OK(database().exec(u"CREATE TABLE Log (n INTEGER)"_s));
        QVERIFY_OK(database().exec(u"CREATE TRIGGER watch AFTER UPDATE OF Name ON CONTACTS BEGIN "
                                   "INSERT INTO Log (n) VALUES (NEW.ContactID); END"_s));
        addContacts(1);
        const auto contacts = control(u"CONTACTS"_s);
        QVERIFY(contacts);
        Recordset& rs = *contacts->Recordset();
        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(rs.MoveLast());
        QVariant name;
        QVERIFY_OK(rs.value("Name"_L1, name));
        QVERIFY_OK(rs.Edit());
        QVERIFY_OK(rs.setValue("Name"_L1, name)); // the value it holds
        QVERIFY_OK(rs.Update());
        QVERIFY_OK(transaction.commit());
        QCOMPARE(number(u"SELECT count(*) FROM Log"_s), qint64(1));
    }
};

QTEST_GUILESS_MAIN(tst_RowKnowledge)
#include "tst_rowknowledge.moc"
