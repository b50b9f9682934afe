#include "enginetest.h"

#include "import/engine/datacontrol.h"
#include "import/engine/recordset.h"
#include "import/engine/value.h"
#include "import/engine/workspace.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik::db;
using brevik::testing::EngineFixture;
using namespace Qt::Literals::StringLiterals;

// Moving, counting, adding and editing rows as the customer writer relies on them, on tables
// in the states the writer meets: empty, one row, several rows, rows with gaps left by deletes.
class tst_Recordset : public QObject, protected EngineFixture
{
    Q_OBJECT

private:
    static void tableStates()
    {
        QTest::addColumn<int>("stored");            // rows stored, keys 1 to stored
        QTest::addColumn<QList<qint64>>("deleted"); // keys deleted again
        QTest::addColumn<QList<qint64>>("rowids");  // what remains, in table order
        QTest::addColumn<qint64>("nextKey");        // the auto-number of the next row
        QTest::newRow("empty") << 0 << QList<qint64>{} << QList<qint64>{} << qint64(1);
        QTest::newRow("one row") << 1 << QList<qint64>{} << QList<qint64>{1} << qint64(2);
        QTest::newRow("three rows") << 3 << QList<qint64>{} << QList<qint64>{1, 2, 3} << qint64(4);
        QTest::newRow("gaps, last deleted")
            << 5 << QList<qint64>{2, 5} << QList<qint64>{1, 3, 4} << qint64(6);
        QTest::newRow("all deleted") << 2 << QList<qint64>{1, 2} << QList<qint64>{} << qint64(3);
    }

    void fillAccounts()
    {
        QFETCH(int, stored);
        QFETCH(QList<qint64>, deleted);
        for (int i = 1; i <= stored; ++i)
            QVERIFY_OK(database().exec(
                u"INSERT INTO CUSTOMERS (AcctNo, AcctName) VALUES ('%1', 'Account %1')"_s.arg(i)));
        for (const qint64 key : deleted)
            QVERIFY_OK(database().exec(u"DELETE FROM CUSTOMERS WHERE CustomerID = %1"_s.arg(key)));
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

    void movesAndCount_data() { tableStates(); }
    void movesAndCount()
    {
        QFETCH(QList<qint64>, rowids);
        fillAccounts();
        const auto data = control(u"CUSTOMERS"_s);
        QVERIFY(data);
        Recordset& rs = *data->Recordset();

        QCOMPARE(rs.AtEOF(), rowids.isEmpty()); // a table opens on its first row
        QCOMPARE(rs.currentRowid(), rowids.isEmpty() ? qint64(-1) : rowids.first());
        const Status first = rs.MoveFirst();
        QCOMPARE(first.number(), rowids.isEmpty() ? int(ErrNoCurrentRecord) : 0);
        QList<qint64> visited;
        while (!rs.AtEOF()) {
            visited.append(rs.currentRowid());
            QVERIFY_OK(rs.MoveNext());
        }
        QCOMPARE(visited, rowids);
        QCOMPARE(rs.MoveNext().number(), int(ErrNoCurrentRecord));

        const Status last = rs.MoveLast();
        QCOMPARE(last.number(), rowids.isEmpty() ? int(ErrNoCurrentRecord) : 0);
        QCOMPARE(rs.currentRowid(), rowids.isEmpty() ? qint64(-1) : rowids.last());
        qint64 count = -1;
        QVERIFY_OK(rs.RecordCount(count));
        QCOMPARE(count, qint64(rowids.size()));
    }

    void addedRowIsLast_data() { tableStates(); }
    void addedRowIsLast()
    {
        QFETCH(QList<qint64>, rowids);
        QFETCH(qint64, nextKey);
        fillAccounts();
        const auto data = control(u"CUSTOMERS"_s);
        QVERIFY(data);
        Recordset& rs = *data->Recordset();
        const qint64 before = rs.currentRowid();

        QVERIFY_OK(rs.AddNew());
        QVERIFY_OK(rs.setValue("AcctNo"_L1, u"000100"_s));
        QVERIFY_OK(rs.setValue("Tax"_L1, true));
        QVERIFY_OK(rs.setValue("CreditLimit"_L1, 0));
        QVariant pending;
        QVERIFY_OK(rs.value("AcctNo"_L1, pending));
        QCOMPARE(pending, QVariant(u"000100"_s));
        QVERIFY_OK(rs.Update());
        QCOMPARE(rs.currentRowid(), before); // the row that was current stays current
        QCOMPARE(rs.LastModified(), nextKey);

        QVERIFY_OK(rs.MoveLast());
        QCOMPARE(rs.currentRowid(), nextKey);
        QVariant key, acctNo, tax, phone;
        QVERIFY_OK(rs.value("CustomerID"_L1, key));
        QVERIFY_OK(rs.value("AcctNo"_L1, acctNo));
        QVERIFY_OK(rs.value("Tax"_L1, tax));
        QVERIFY_OK(rs.value("MainPhone"_L1, phone));
        QCOMPARE(key, QVariant(nextKey));
        QCOMPARE(acctNo, QVariant(u"000100"_s));
        QCOMPARE(tax, QVariant(qint64(1)));
        QVERIFY(isNull(phone)); // a field never set reads as null
        qint64 count = -1;
        QVERIFY_OK(rs.RecordCount(count));
        QCOMPARE(count, qint64(rowids.size() + 1));
    }

    void editedRowStaysCurrent_data() { tableStates(); }
    void editedRowStaysCurrent()
    {
        QFETCH(QList<qint64>, rowids);
        fillAccounts();
        const auto data = control(u"CUSTOMERS"_s);
        QVERIFY(data);
        Recordset& rs = *data->Recordset();
        if (rowids.isEmpty()) {
            QCOMPARE(rs.Edit().number(), int(ErrNoCurrentRecord));
            return;
        }
        QVERIFY_OK(rs.MoveLast());
        const qint64 edited = rs.currentRowid();
        QVERIFY_OK(rs.Edit());
        QVERIFY_OK(rs.setValue("AcctName"_L1, u"Renamed"_s));
        QVERIFY_OK(rs.Update());
        QCOMPARE(rs.currentRowid(), edited);
        QVariant name, acctNo;
        QVERIFY_OK(rs.value("AcctName"_L1, name));
        QVERIFY_OK(rs.value("AcctNo"_L1, acctNo));
        QCOMPARE(name, QVariant(u"Renamed"_s));
        QCOMPARE(acctNo, QVariant(QString::number(edited))); // fields not set are kept
        QVERIFY_OK(rs.MoveFirst());
        QVERIFY_OK(rs.value("AcctName"_L1, name));
        QCOMPARE(name, QVariant(rowids.size() == 1 ? u"Renamed"_s : u"Account %1"_s.arg(rowids.first())));
    }

    void misuseFails()
    {
        const auto data = control(u"CLIENT"_s);
        QVERIFY(data);
        Recordset& rs = *data->Recordset();
        QVariant value;
        QCOMPARE(rs.value("Name"_L1, value).number(), int(ErrNoCurrentRecord));
        QCOMPARE(rs.Update().number(), int(ErrUpdateWithoutEdit));
        QCOMPARE(rs.setValue("Name"_L1, u"x"_s).number(), int(ErrUpdateWithoutEdit));
        QVERIFY_OK(rs.AddNew());
        const Status unknown = rs.setValue("Nmae"_L1, u"x"_s);
        QCOMPARE(unknown.number(), int(ErrItemNotFound));
        QVERIFY(unknown.description().contains(u"Nmae"));
        QVERIFY_OK(rs.setValue("name"_L1, u"Any Case"_s)); // field names match as SQLite matches them
        QVERIFY_OK(rs.Update());
        QCOMPARE(rs.Update().number(), int(ErrUpdateWithoutEdit));
    }

    void refusedUpdateStoresNothing_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("editing"); // Edit of the stored row rather than AddNew
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("message");
        const QString unique = u"CREATE UNIQUE INDEX OneName ON CLIENT (Name)"_s;
        const QString trigger = u"CREATE TRIGGER Refuse BEFORE %1 ON CLIENT WHEN NEW.Name = 'Refused' "
                                "BEGIN SELECT RAISE(ABORT, 'names may not be Refused'); END"_s;
        QTest::newRow("unique index, add")
            << unique << false << u"Stored"_s << int(ErrDuplicateKey) << u"UNIQUE constraint failed"_s;
        QTest::newRow("trigger, add") << trigger.arg(u"INSERT"_s) << false << u"Refused"_s
                                      << int(ErrConstraint) << u"names may not be Refused"_s;
        QTest::newRow("trigger, edit") << trigger.arg(u"UPDATE"_s) << true << u"Refused"_s
                                       << int(ErrConstraint) << u"names may not be Refused"_s;
    }
    void refusedUpdateStoresNothing()
    {
        QFETCH(QString, rule);
        QFETCH(bool, editing);
        QFETCH(QString, name);
        QFETCH(int, error);
        QFETCH(QString, message);
        QVERIFY_OK(database().exec(u"INSERT INTO CLIENT (Name) VALUES ('Stored')"_s));
        QVERIFY_OK(database().exec(rule));
        const auto data = control(u"CLIENT"_s);
        QVERIFY(data);
        Recordset& rs = *data->Recordset();

        QVERIFY_OK(editing ? rs.Edit() : rs.AddNew());
        QVERIFY_OK(rs.setValue("Name"_L1, name));
        const Status refused = rs.Update();
        QCOMPARE(refused.number(), error);
        QVERIFY2(refused.description().contains(message), qPrintable(refused.description()));
        QVERIFY(!rs.editing());
        QCOMPARE(rs.Update().number(), int(ErrUpdateWithoutEdit));

        qint64 count = 0;
        QVERIFY_OK(rs.RecordCount(count));
        QCOMPARE(count, qint64(1));
        QVariant stored;
        QVERIFY_OK(rs.MoveFirst());
        QVERIFY_OK(rs.value("Name"_L1, stored));
        QCOMPARE(stored, QVariant(u"Stored"_s));
    }

    void rowsAreSharedAcrossRecordsets()
    {
        QVERIFY_OK(database().exec(u"INSERT INTO CLIENT (Name) VALUES ('First')"_s));
        const auto reader = control(u"CLIENT"_s);
        QVERIFY(reader);
        auto writer = std::make_unique<DataControl>(m_workspace, QStringLiteral("Data1"));
        writer->setDatabaseName(QDir(m_dir.path()).filePath(u"./zrdata.mdb"_s)); // another spelling
        writer->setRecordSource(u"client"_s);
        QVERIFY_OK(writer->Refresh());
        QCOMPARE(writer->database(), reader->database()); // one connection per file

        QVariant name;
        QVERIFY_OK(reader->Recordset()->value("Name"_L1, name)); // read, and so held by the reader
        QVERIFY_OK(writer->Recordset()->Edit());
        QVERIFY_OK(writer->Recordset()->setValue("Name"_L1, u"Changed"_s));
        QVERIFY_OK(writer->Recordset()->Update());
        QVERIFY_OK(reader->Recordset()->value("Name"_L1, name));
        QCOMPARE(name, QVariant(u"Changed"_s));

        Transaction transaction(*writer->database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(writer->Recordset()->AddNew());
        QVERIFY_OK(writer->Recordset()->setValue("Name"_L1, u"Second"_s));
        QVERIFY_OK(writer->Recordset()->Update());
        QVERIFY_OK(reader->Recordset()->MoveLast());
        QCOMPARE(reader->Recordset()->currentRowid(), writer->Recordset()->LastModified());
        QVERIFY_OK(transaction.commit());
    }

    void refreshSeesSchemaChanges()
    {
        auto theirs = brevik::testing::openDatabase(m_path);
        QVERIFY(theirs);
        DataControl data(m_workspace, QStringLiteral("Data4"));
        data.setDatabaseName(m_path);
        data.setRecordSource(u"CONTACTS"_s);
        QVERIFY_OK(data.Refresh());
        QVERIFY_OK(theirs->exec(u"ALTER TABLE CONTACTS ADD COLUMN Email TEXT"_s));
        QVERIFY_OK(data.Refresh());
        QVERIFY(data.Recordset()->hasField("Email"_L1));

        Transaction transaction(database());
        QVERIFY_OK(transaction.begin());
        QVERIFY_OK(data.Refresh());
        QVERIFY_OK(database().exec(u"ALTER TABLE CONTACTS ADD COLUMN Fax TEXT"_s));
        QVERIFY_OK(data.Refresh());
        QVERIFY(data.Recordset()->hasField("Fax"_L1));
    }

    void readOnlyControlRefusesChanges()
    {
        DataControl data(m_workspace, QStringLiteral("Data1"));
        data.setDatabaseName(m_path);
        data.setRecordSource(u"CLIENT"_s);
        data.setReadOnly(true);
        QVERIFY_OK(data.Refresh());
        QCOMPARE(data.Recordset()->AddNew().number(), int(ErrReadOnly));

        data.setRecordSource(u"CLIENTS"_s);
        const Status missing = data.Refresh();
        QCOMPARE(missing.number(), int(ErrTableNotFound));
        QVERIFY(missing.description().contains(u"CLIENTS"));
        QCOMPARE(data.Recordset(), nullptr);
    }
};

QTEST_GUILESS_MAIN(tst_Recordset)
#include "tst_recordset.moc"
