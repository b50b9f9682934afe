#include "testdatabase.h"

#include "import/reporter.h"
#include "import/writer/clientwriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// A customer whose name matches a client rewrites that client's rows, keeps what the writer
// never writes, and creates, after saying so, the rows that are missing, losing none.
class tst_ExistingCustomers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_db;
    CapturingReporter m_messages;
    const QString m_notFound = QStringLiteral("Record Not Found... Creating New Record");

    void write(const CustomerFields& fields)
    {
        ClientWriter writer(m_messages);
        WindowValues values;
        values.txtHold1 = m_dir.path();
        values.Text1 = fields;
        QVERIFY(writer.AddClient(values) != WriteOutcome::Stopped);
        QVERIFY(writer.finish());
    }

    QVariant cell(const QString& sql) { return m_db->value(sql); }

    QList<QVariantList> everything()
    {
        QList<QVariantList> all;
        for (const char* table : {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"})
            all += m_db->rows(QString::fromLatin1(table));
        return all;
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_dir.filePath(QStringLiteral("zrdata.mdb")));
        m_db = std::make_unique<TestDatabase>(m_dir.path());
        m_messages.clear();
    }
    void cleanup() { m_db.reset(); }

    void secondImportChangesNothing()
    {
        CustomerFields f = fieldsOf(QStringLiteral("Acme Supply"), QStringLiteral("305-555-0147"),
                                    QStringLiteral("IL"), QStringLiteral("Ann Lee"), QStringLiteral("1"));
        f[FieldAddress1] = QStringLiteral("12 Oak St");
        write(f);
        const auto once = everything();
        write(f);
        QCOMPARE(everything(), once);
        QCOMPARE(m_messages.messages(), QStringList());
    }

    // A job carries its customer's billing name. Once the run has written that client, the job
    // writes nothing; a job whose client the run has not written yet is written like a customer.
    void jobsOfClientsWrittenInTheRunArePassedOver()
    {
        write(fieldsOf(QStringLiteral("Mike Balak"), QString(), QString(), QString(), QStringLiteral("1")));
        const QString longName(45, u'L');
        ClientWriter writer(m_messages);
        WindowValues values;
        values.txtHold1 = m_dir.path();
        const auto add = [&](const QString& name, const char* tax, RowKind kind) {
            values.Text1 = fieldsOf(name, QString(), QString(), QString(), QString::fromLatin1(tax));
            return writer.AddClient(values, kind);
        };
        // Its customer is not in this export, but an earlier import stored the client.
        QCOMPARE(add(QStringLiteral("Mike Balak"), "0", RowKind::Job), WriteOutcome::Updated);
        QCOMPARE(add(QStringLiteral("Mike Balak"), "0", RowKind::Job), WriteOutcome::JobPassedOver);
        // A customer's own row is written however often it comes.
        QCOMPARE(add(QStringLiteral("Mike Balak"), "1", RowKind::Customer), WriteOutcome::Updated);
        QCOMPARE(add(QStringLiteral("Adam's Candy Shop"), "1", RowKind::Customer), WriteOutcome::Added);
        QCOMPARE(add(QStringLiteral("Adam's Candy Shop"), "0", RowKind::Job), WriteOutcome::JobPassedOver);
        QCOMPARE(add(QStringLiteral("Hair Supply"), "0", RowKind::Job), WriteOutcome::Added);
        // Stored cut to 40 characters, and still known by the name the row gave.
        QCOMPARE(add(longName, "1", RowKind::Customer), WriteOutcome::Added);
        QCOMPARE(add(longName, "0", RowKind::Job), WriteOutcome::JobPassedOver);
        QCOMPARE(add(QString(), "0", RowKind::Job), WriteOutcome::NothingWritten);
        QVERIFY(writer.finish());
        QCOMPARE(writer.committed().jobsPassedOver, 3);
        QCOMPARE(writer.committed().total(), 9);

        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 4);
        QCOMPARE(
            cell(QStringLiteral("SELECT group_concat(Tax, '') FROM (SELECT Tax FROM CLIENT ORDER BY rowid)"))
                .toString(),
            QStringLiteral("1101"));
        QCOMPARE(m_messages.messages(), QStringList());
    }

    void keepsWhatTheInvoicingSystemChanged()
    {
        write(fieldsOf(QStringLiteral("Acme Supply"), QString(), QString(), QString(), QStringLiteral("1")));
        m_db->exec(
            QStringLiteral("UPDATE CLIENT SET PastDue1 = 10, PastDue2 = 20, PastDue3 = 30, PastDue4 = 40, "
                           "CreditLimit = 900, Tax = 1"));
        m_db->exec(QStringLiteral(
            "UPDATE CUSTOMERS SET PastDue30 = 1, PastDue60 = 2, PastDue90 = 3, PastDue120 = 4, "
            "AcctTypeID = 'NET30', CreditLimit = 900"));
        write(fieldsOf(QStringLiteral("Acme Supply"), QString(), QString(), QString(), QStringLiteral("0")));
        QCOMPARE(cell(QStringLiteral(
                          "SELECT ClientID || PastDue1 || PastDue2 || PastDue3 || PastDue4 FROM CLIENT"))
                     .toString(),
                 QStringLiteral("00010010203040"));
        QCOMPARE(
            cell(QStringLiteral(
                     "SELECT PastDue30 || PastDue60 || PastDue90 || PastDue120 || AcctTypeID FROM CUSTOMERS"))
                .toString(),
            QStringLiteral("1234NET30"));
        QCOMPARE(cell(QStringLiteral("SELECT CreditLimit + Tax FROM CLIENT")).toLongLong(), 0);
        QCOMPARE(cell(QStringLiteral("SELECT CreditLimit + Tax FROM CUSTOMERS")).toLongLong(), 0);
    }

    void updateTelephoneVariant()
    {
        m_db->addCustomer(QStringLiteral("000100"), QStringLiteral("Acme Supply"));
        write(fieldsOf(QStringLiteral("Acme Supply"), QStringLiteral("1 (305) 555-0147")));
        QCOMPARE(cell(QStringLiteral("SELECT Phone FROM CLIENT")).toString(), QStringLiteral("1305-555-01"));
        QCOMPARE(cell(QStringLiteral("SELECT MainPhone FROM CUSTOMERS")).toString(),
                 QStringLiteral("1305-555-01"));
        QCOMPARE(cell(QStringLiteral("SELECT Phone FROM CONTACTS")).toString(),
                 QStringLiteral("1305-555-01"));
        // An empty contact name rewrites the contact as zero-length text.
        QCOMPARE(cell(QStringLiteral("SELECT quote(Name) FROM CONTACTS")).toString(), QStringLiteral("''"));
        // The name is not cut on this path.
    }

    void uncutNameOnUpdate()
    {
        m_db->addCustomer(QStringLiteral("000100"), QStringLiteral("Springfield Hardware & Lu"));
        const QString full = QStringLiteral("Springfield Hardware & Lumber Company Limited of Illinois");
        write(fieldsOf(full));
        QCOMPARE(cell(QStringLiteral("SELECT Name FROM CLIENT")).toString(), full);
        QCOMPARE(cell(QStringLiteral("SELECT AcctName FROM CUSTOMERS")).toString(), full);
        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 1);
    }

    void clientWithoutAccount()
    {
        m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES ('000100', 'Acme Supply')"));
        write(fieldsOf(QStringLiteral("Acme Supply"), QString(), QString(), QStringLiteral("Ann Lee")));
        QCOMPARE(m_messages.messages(), QStringList({m_notFound, m_notFound, m_notFound}));
        QCOMPARE(cell(QStringLiteral("SELECT AcctNo FROM CUSTOMERS")).toString(), QStringLiteral("000100"));
        const qint64 key = cell(QStringLiteral("SELECT CustomerID FROM CUSTOMERS")).toLongLong();
        QCOMPARE(cell(QStringLiteral("SELECT CustomerID FROM ADDRESSES")).toLongLong(), key);
        QCOMPARE(cell(QStringLiteral("SELECT CustomerID || Name FROM CONTACTS")).toString(),
                 QString::number(key) + QStringLiteral("Ann Lee"));
        // A created account starts as every new account does.
        QCOMPARE(
            cell(QStringLiteral(
                     "SELECT PastDue30 || PastDue60 || PastDue90 || PastDue120 || AcctTypeID FROM CUSTOMERS"))
                .toString(),
            QStringLiteral("0000COD"));
        // Next time all four rows are found.
        m_messages.clear();
        write(fieldsOf(QStringLiteral("Acme Supply"), QString(), QString(), QStringLiteral("Ann Lee")));
        QCOMPARE(m_messages.messages(), QStringList());
    }

    void mainAddressAmongOthers()
    {
        const qint64 key = m_db->addCustomer(QStringLiteral("000100"), QStringLiteral("Acme Supply"));
        // A billing address in front of the main one, in table order.
        m_db->exec(QStringLiteral(
            "UPDATE ADDRESSES SET AddressTypeID = 'B', MainAddress = 0, Street1 = 'PO Box 9'"));
        m_db->exec(QStringLiteral(
                       "INSERT INTO ADDRESSES (CustomerID, AddressTypeID, AddressName, Street1, MainAddress) "
                       "VALUES (?1, 'M', 'Main', 'old', 1)"),
                   {key});
        CustomerFields f = fieldsOf(QStringLiteral("Acme Supply"));
        f[FieldAddress1] = QStringLiteral("12 Oak St");
        write(f);
        QCOMPARE(m_messages.messages(), QStringList());
        QCOMPARE(cell(QStringLiteral("SELECT group_concat(Street1, '|') FROM ADDRESSES")).toString(),
                 QStringLiteral("PO Box 9|12 Oak St"));
    }

    void noMainAddressGetsOne()
    {
        m_db->addCustomer(QStringLiteral("000100"), QStringLiteral("Acme Supply"));
        m_db->exec(QStringLiteral("UPDATE ADDRESSES SET AddressTypeID = 'B', Street1 = 'PO Box 9'"));
        CustomerFields f = fieldsOf(QStringLiteral("Acme Supply"));
        f[FieldAddress1] = QStringLiteral("12 Oak St");
        write(f);
        QCOMPARE(m_messages.messages(), QStringList{m_notFound});
        QCOMPARE(cell(QStringLiteral("SELECT group_concat(AddressTypeID || Street1, '|') FROM ADDRESSES"))
                     .toString(),
                 QStringLiteral("BPO Box 9|M12 Oak St"));
    }

    void contacts_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("messages");
        QTest::newRow("only contact is rewritten") << QStringList{QStringLiteral("Bo Chan")} << "Ann Lee"
                                                   << "Ann Lee" << 0;
        QTest::newRow("several, one named")
            << QStringList{QStringLiteral("Bo Chan"), QStringLiteral("Ann Lee"), QStringLiteral("Cy Dee")}
            << "Ann Lee"
            << "Bo Chan|Ann Lee|Cy Dee" << 0;
        QTest::newRow("several, none named")
            << QStringList{QStringLiteral("Bo Chan"), QStringLiteral("Cy Dee")} << "Ann Lee"
            << "Bo Chan|Cy Dee|Ann Lee" << 1;
    }

    void contacts()
    {
        QFETCH(QStringList, stored);
        QFETCH(QString, imported);
        QFETCH(QString, after);
        QFETCH(int, messages);
        const qint64 key =
            m_db->addCustomer(QStringLiteral("000100"), QStringLiteral("Acme Supply"), stored.first());
        for (qsizetype i = 1; i < stored.size(); ++i)
            m_db->exec(QStringLiteral("INSERT INTO CONTACTS (CustomerID, Name, Phone) VALUES (?1, ?2, '')"),
                       {key, stored.at(i)});
        write(fieldsOf(QStringLiteral("Acme Supply"), QStringLiteral("555-0147"), QString(), imported));
        QCOMPARE(cell(QStringLiteral("SELECT group_concat(Name, '|') FROM CONTACTS")).toString(), after);
        QCOMPARE(m_messages.messages().size(), messages);
        QCOMPARE(cell(QStringLiteral("SELECT Phone FROM CONTACTS WHERE Name = 'Ann Lee'")).toString(),
                 QStringLiteral("555-0147"));
    }

    void refusedNewAccountAttachesNothing()
    {
        m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES ('000100', 'Acme Supply')"));
        m_db->exec(QStringLiteral("INSERT INTO CUSTOMERS (AcctNo) VALUES ('000999')"));
        m_db->exec(QStringLiteral(
            "CREATE TRIGGER refuse BEFORE INSERT ON CUSTOMERS BEGIN SELECT RAISE(ABORT, 'no'); END"));
        write(fieldsOf(QStringLiteral("Acme Supply")));
        QCOMPARE(m_messages.messages(),
                 QStringList({m_notFound, QStringLiteral("Error Number equals 3317\nThe database refused the "
                                                         "customer \"Acme Supply\": A rule of the database "
                                                         "refused the row (no).")}));
        QCOMPARE(m_db->count(QStringLiteral("ADDRESSES")), 0);
        QCOMPARE(m_db->count(QStringLiteral("CONTACTS")), 0);
    }

    void nullClientNumberStillFound()
    {
        m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES (NULL, 'Acme Supply')"));
        m_db->exec(QStringLiteral("INSERT INTO CUSTOMERS (AcctNo, AcctName) VALUES ('', 'blank account')"));
        write(fieldsOf(QStringLiteral("Acme Supply")));
        // Found, with an empty client number: the account of the empty number is rewritten.
        QCOMPARE(m_messages.messages().first(), QStringLiteral("Error Number equals 94"));
        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 1);
        QCOMPARE(cell(QStringLiteral("SELECT AcctName FROM CUSTOMERS")).toString(),
                 QStringLiteral("Acme Supply"));
    }
};

QTEST_GUILESS_MAIN(tst_ExistingCustomers)
#include "tst_existing_customers.moc"
