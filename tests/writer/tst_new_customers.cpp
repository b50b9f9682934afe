#include "testdatabase.h"

#include "import/reporter.h"
#include "import/writer/callmessages.h"
#include "import/writer/clientwriter.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// New customers: the four linked rows, the values they hold, the client number they receive
// and the names that do or do not match an existing client.
class tst_NewCustomers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<TestDatabase> m_db;
    CapturingReporter m_messages;

    WriteOutcome write(CustomerFields fields, CustomerFields* after = nullptr)
    {
        ClientWriter writer(m_messages);
        WindowValues values;
        values.txtHold1 = m_dir.path();
        values.txtHold2 = QStringLiteral("qb");
        values.Text1 = std::move(fields);
        const WriteOutcome outcome = writer.AddClient(values);
        [&] {
            QVERIFY(writer.finish());
        }();
        if (after)
            *after = values.Text1;
        [&] {
            QCOMPARE(values.gM, m_dir.path());
            QCOMPARE(values.gQ, QStringLiteral("qb"));
        }();
        return outcome;
    }

    QVariant cell(const QString& sql) { return m_db->value(sql); }

private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.isValid());
        QFile::remove(m_dir.filePath(QStringLiteral("zrdata.mdb")));
        m_db = std::make_unique<TestDatabase>(m_dir.path());
        m_messages.clear();
    }
    void cleanup() { m_db.reset(); }

    void fourLinkedRows()
    {
        CustomerFields f = fieldsOf(QStringLiteral("Acme Supply"), QStringLiteral("(305) 555-0147 ext 12"),
                                    QStringLiteral("Alaska"), QString(), QStringLiteral("1"));
        f[FieldAddress1] = QStringLiteral("12 Oak St");
        f[FieldAddress2] = QStringLiteral("Suite 4");
        f[FieldAddress3] = QStringLiteral("Back door");
        f[FieldCity] = QStringLiteral("Fairbanks");
        f[FieldZip] = QStringLiteral("99701");
        f[FieldCreditLimit] = QStringLiteral("5000");
        CustomerFields after;
        QCOMPARE(write(f, &after), WriteOutcome::Added);
        QCOMPARE(m_messages.messages(), QStringList());

        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 1);
        QCOMPARE(m_db->count(QStringLiteral("CUSTOMERS")), 1);
        QCOMPARE(m_db->count(QStringLiteral("ADDRESSES")), 1);
        QCOMPARE(m_db->count(QStringLiteral("CONTACTS")), 1);
        // An empty table opens like any other: the first client is 000100.
        QCOMPARE(cell(QStringLiteral("SELECT ClientID FROM CLIENT")).toString(), QStringLiteral("000100"));
        QCOMPARE(cell(QStringLiteral("SELECT AcctNo FROM CUSTOMERS")).toString(), QStringLiteral("000100"));
        const qint64 key = cell(QStringLiteral("SELECT CustomerID FROM CUSTOMERS")).toLongLong();
        QCOMPARE(cell(QStringLiteral("SELECT CustomerID FROM ADDRESSES")).toLongLong(), key);
        QCOMPARE(cell(QStringLiteral("SELECT CustomerID FROM CONTACTS")).toLongLong(), key);

        // The telephone: 13 characters for the client, the whole of it for account and contact.
        QCOMPARE(cell(QStringLiteral("SELECT Phone FROM CLIENT")).toString(),
                 QStringLiteral("305-555-0147e"));
        QCOMPARE(cell(QStringLiteral("SELECT MainPhone FROM CUSTOMERS")).toString(),
                 QStringLiteral("305-555-0147ext12"));
        QCOMPARE(cell(QStringLiteral("SELECT Phone FROM CONTACTS")).toString(),
                 QStringLiteral("305-555-0147ext12"));
        // The state keeps two letters in both places; the rules' results are written back.
        QCOMPARE(cell(QStringLiteral("SELECT State FROM CLIENT")).toString(), QStringLiteral("Al"));
        QCOMPARE(cell(QStringLiteral("SELECT State FROM ADDRESSES")).toString(), QStringLiteral("Al"));
        QCOMPARE(after[FieldState], QStringLiteral("Al"));
        QCOMPARE(after[FieldPhone], QStringLiteral("305-555-0147ext12"));
        // Address line 3 lives only in CLIENT; the credit limit field is never read.
        QCOMPARE(cell(QStringLiteral("SELECT Addr3 FROM CLIENT")).toString(), QStringLiteral("Back door"));
        QCOMPARE(cell(QStringLiteral("SELECT Street1 || '/' || Street2 FROM ADDRESSES")).toString(),
                 QStringLiteral("12 Oak St/Suite 4"));
        QCOMPARE(cell(QStringLiteral("SELECT CreditLimit FROM CLIENT")).toLongLong(), 0);
        QCOMPARE(cell(QStringLiteral("SELECT CreditLimit FROM CUSTOMERS")).toLongLong(), 0);
        QCOMPARE(cell(QStringLiteral("SELECT Tax FROM CLIENT")).toLongLong(), 1);
        QCOMPARE(cell(QStringLiteral("SELECT Tax FROM CUSTOMERS")).toLongLong(), 1);
        QCOMPARE(
            cell(QStringLiteral("SELECT PastDue1 + PastDue2 + PastDue3 + PastDue4 FROM CLIENT")).toLongLong(),
            0);
        QCOMPARE(cell(QStringLiteral("SELECT AcctTypeID FROM CUSTOMERS")).toString(), QStringLiteral("COD"));
        QCOMPARE(cell(QStringLiteral("SELECT AddressTypeID || AddressName || MainAddress FROM ADDRESSES"))
                     .toString(),
                 QStringLiteral("MMain1"));
        // An empty contact is zero-length text, not a missing value.
        QCOMPARE(cell(QStringLiteral("SELECT typeof(Name) FROM CONTACTS")).toString(),
                 QStringLiteral("text"));
        QCOMPARE(cell(QStringLiteral("SELECT typeof(Contact) FROM CLIENT")).toString(),
                 QStringLiteral("text"));
    }

    void longNameIsCutAndAddedAgain()
    {
        const QString name45 = QStringLiteral("Bayshore Cafe Catering And Events Incorporate");
        QCOMPARE(name45.size(), 45);
        CustomerFields after;
        QCOMPARE(write(fieldsOf(name45), &after), WriteOutcome::Added);
        QCOMPARE(after[FieldName], name45.left(40));
        QCOMPARE(cell(QStringLiteral("SELECT Name FROM CLIENT")).toString(), name45.left(40));
        QCOMPARE(cell(QStringLiteral("SELECT AcctName FROM CUSTOMERS")).toString(), name45.left(40));
        // Next time the whole name does not match the cut one: a second client.
        QCOMPARE(write(fieldsOf(name45)), WriteOutcome::Added);
        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 2);
    }

    void nameMatch_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("incoming");
        QTest::addColumn<bool>("matches");
        QTest::addColumn<QString>("storedAfter");
        QTest::newRow("exact") << "Acme Supply"
                               << "Acme Supply" << true << "Acme Supply";
        QTest::newRow("upper case") << "Acme Supply"
                                    << "ACME SUPPLY" << false << "Acme Supply";
        QTest::newRow("two blanks") << "Acme Supply"
                                    << "Acme  Supply" << false << "Acme Supply";
        QTest::newRow("blank in front") << "Acme Supply"
                                        << " Acme Supply" << false << "Acme Supply";
        QTest::newRow("25 characters completed")
            << "Springfield Hardware & Lu"
            << "Springfield Hardware & Lumber Co" << true << "Springfield Hardware & Lumber Co";
        QTest::newRow("25 and a blank completed")
            << "Springfield Hardware & Lu "
            << "Springfield Hardware & Lumber Co" << true << "Springfield Hardware & Lumber Co";
        QTest::newRow("24 not completed")
            << "Springfield Hardware & L"
            << "Springfield Hardware & Lumber Co" << false << "Springfield Hardware & L";
        QTest::newRow("40 not completed") << "Springfield Hardware & Lumber Company Li"
                                          << "Springfield Hardware & Lumber Company Limited" << false
                                          << "Springfield Hardware & Lumber Company Li";
    }

    void nameMatch()
    {
        QFETCH(QString, stored);
        QFETCH(QString, incoming);
        QFETCH(bool, matches);
        QFETCH(QString, storedAfter);
        m_db->addCustomer(QStringLiteral("000100"), stored);
        QCOMPARE(write(fieldsOf(incoming)), matches ? WriteOutcome::Updated : WriteOutcome::Added);
        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), matches ? 1 : 2);
        QCOMPARE(cell(QStringLiteral("SELECT Name FROM CLIENT WHERE rowid = 1")).toString(), storedAfter);
        QCOMPARE(m_messages.messages(), QStringList());
    }

    void allocation_data()
    {
        QTest::addColumn<QVariantList>("numbers");
        QTest::addColumn<QString>("next");
        QTest::addColumn<QStringList>("messages");
        const QStringList none;
        QTest::newRow("100 and 101") << QVariantList{QStringLiteral("000100"), QStringLiteral("000101")}
                                     << "000102" << none;
        QTest::newRow("highest, not last")
            << QVariantList{QStringLiteral("000100"), QStringLiteral("000250"), QStringLiteral("000101")}
            << "000251" << none;
        QTest::newRow("seven digits unpadded") << QVariantList{QStringLiteral("999999")} << "1000000" << none;
        QTest::newRow("no number") << QVariantList{QStringLiteral("A17"), QStringLiteral("")} << "000100"
                                   << none;
        QTest::newRow("leading digits")
            << QVariantList{QStringLiteral("17B"), QStringLiteral("000009")} << "000018" << none;
        QTest::newRow("blank in front") << QVariantList{QStringLiteral(" 42")} << "000043" << none;
        QTest::newRow("negative only") << QVariantList{QStringLiteral("-5")} << "000100" << none;
        QTest::newRow("exponent and half")
            << QVariantList{QStringLiteral("1e3"), QStringLiteral("2.5")} << "001001" << none;
        QTest::newRow("null number") << QVariantList{QStringLiteral("000100"), QVariant(),
                                                     QStringLiteral("000120")}
                                     << "000121" << QStringList{QStringLiteral("Error Number equals 94")};
        QTest::newRow("overflow") << QVariantList{QStringLiteral("99999999999"), QStringLiteral("000007")}
                                  << "000008" << QStringList{QStringLiteral("Error Number equals 6")};
        // 2147483648 would read back as no number, and be given again to every later client.
        QTest::newRow("no number left")
            << QVariantList{QStringLiteral("2147483647")} << QString()
            << QStringList{CallMessages::noClientNumber(QStringLiteral("Newcomer"), 0)};
    }

    void allocation()
    {
        QFETCH(QVariantList, numbers);
        QFETCH(QString, next);
        QFETCH(QStringList, messages);
        int i = 0;
        for (const QVariant& number : numbers)
            m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES (?1, ?2)"),
                       {number, QStringLiteral("Client %1").arg(++i)});
        QCOMPARE(write(fieldsOf(QStringLiteral("Newcomer"))),
                 next.isEmpty() ? WriteOutcome::Refused : WriteOutcome::Added);
        QCOMPARE(cell(QStringLiteral("SELECT ClientID FROM CLIENT WHERE Name = 'Newcomer'")).toString(),
                 next);
        QCOMPARE(m_messages.messages(), messages);
        QCOMPARE(m_db->count(QStringLiteral("CUSTOMERS")), next.isEmpty() ? 0 : 1);
    }

    void emptyNameWritesNothing()
    {
        m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES (NULL, 'Old')"));
        QCOMPARE(write(fieldsOf(QString())), WriteOutcome::NothingWritten);
        QCOMPARE(m_db->count(QStringLiteral("CLIENT")), 1);
        QCOMPARE(m_db->count(QStringLiteral("CUSTOMERS")), 0);
        // The allocation still ran, and read the row without a number.
        QCOMPARE(m_messages.messages(), QStringList{QStringLiteral("Error Number equals 94")});
    }

    void messagesWaitForTheCommit()
    {
        // Every message is shown only once the customer's rows are committed, so another
        // program sees them while the operator reads the message.
        m_db->exec(QStringLiteral("INSERT INTO CLIENT (ClientID, Name) VALUES (NULL, 'Old')"));
        struct Checking : Reporter
        {
            QString folder;
            QStringList seen;
            void report(const QString& message) override
            {
                TestDatabase other(folder, TestDatabase::Open::Existing);
                seen.append(message + u'/' + QString::number(other.count(QStringLiteral("CONTACTS"))));
            }
        } checking;
        checking.folder = m_dir.path();
        ClientWriter writer(checking);
        writer.setBatchLimits(1000, 60'000);
        WindowValues values;
        values.txtHold1 = m_dir.path();
        values.Text1 = fieldsOf(QStringLiteral("First"));
        QCOMPARE(writer.AddClient(values), WriteOutcome::Added);
        QCOMPARE(checking.seen, QStringList{QStringLiteral("Error Number equals 94/1")});
        QVERIFY(writer.finish());
    }
};

QTEST_GUILESS_MAIN(tst_NewCustomers)
#include "tst_new_customers.moc"
