#include "testdatabase.h"

#include "import/reporter.h"
#include "import/writer/clientwriter.h"
#include "support/testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// Whatever goes wrong, the writer says so once, never ends the program, and never leaves a
// customer half written or a file that is not its own changed.
class tst_WriterFailures : public QObject
{
    Q_OBJECT

private:
    static WriteOutcome writeOne(const QString& folder, Reporter& reporter,
                                 const QString& name = QStringLiteral("Acme"))
    {
        ClientWriter writer(reporter);
        WindowValues values;
        values.txtHold1 = folder;
        values.Text1 = fieldsOf(name);
        const WriteOutcome outcome = writer.AddClient(values);
        (void)writer.finish();
        return outcome;
    }

private Q_SLOTS:
    void openingFails_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no file at all
        QTest::addColumn<QString>("cause");
        QByteArray access(2048, '\0');
        access.replace(4, 15, "Standard Jet DB");
        QTest::newRow("no database") << QByteArray() << QStringLiteral("zrdata.mdb");
        QTest::newRow("an Access file") << access << QStringLiteral("Access");
        QTest::newRow("a text file") << QByteArray("Name,Phone\r\nAcme,555\r\n")
                                     << QStringLiteral("zrdata.mdb");
    }

    void openingFails()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zrdata.mdb"));
        if (!content.isEmpty())
            QVERIFY(writeBytes(path, content));
        CapturingReporter messages;
        QCOMPARE(writeOne(dir.path(), messages), WriteOutcome::Stopped);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.messages().first().contains(cause), qPrintable(messages.messages().first()));
        QVERIFY(messages.messages().first().contains(QDir::toNativeSeparators(path)));
        // A file that is not ours is left exactly as it was.
        if (!content.isEmpty())
            QCOMPARE(readBytes(path), content);
    }

    void missingTableOrField_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("named");
        QTest::newRow("no CONTACTS") << QStringLiteral("DROP TABLE CONTACTS") << QStringLiteral("CONTACTS");
        QTest::newRow("no Zip") << QStringLiteral("ALTER TABLE ADDRESSES DROP COLUMN Zip")
                                << QStringLiteral("Zip");
    }

    void missingTableOrField()
    {
        QFETCH(QString, damage);
        QFETCH(QString, named);
        QTemporaryDir dir;
        {
            TestDatabase db(dir.path());
            db.exec(damage);
        }
        CapturingReporter messages;
        QCOMPARE(writeOne(dir.path(), messages), WriteOutcome::Stopped);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.messages().first().contains(named), qPrintable(messages.messages().first()));
        TestDatabase db(dir.path(), TestDatabase::Open::Existing);
        QCOMPARE(db.count(QStringLiteral("CLIENT")), 0);
    }

    // A client or account row that is not stored gets no rows attached, and the address and
    // contact never land on another customer's account.
    void refusedRowsAttachNothing_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("action");
        QTest::addColumn<qint64>("clients");
        QTest::addColumn<qint64>("accounts");
        QTest::addColumn<QString>("cause");
        QTest::newRow("client refused") << QStringLiteral("CLIENT") << QStringLiteral("ABORT, 'refused'")
                                        << qint64(1) << qint64(1) << QStringLiteral("(refused).");
        QTest::newRow("client passed over") << QStringLiteral("CLIENT") << QStringLiteral("IGNORE")
                                            << qint64(1) << qint64(1) << QStringLiteral("passed over it.");
        QTest::newRow("account refused") << QStringLiteral("CUSTOMERS") << QStringLiteral("ABORT, 'refused'")
                                         << qint64(2) << qint64(1) << QStringLiteral("(refused).");
        QTest::newRow("account passed over") << QStringLiteral("CUSTOMERS") << QStringLiteral("IGNORE")
                                             << qint64(2) << qint64(1) << QStringLiteral("passed over it.");
    }

    void refusedRowsAttachNothing()
    {
        QFETCH(QString, table);
        QFETCH(QString, action);
        QFETCH(qint64, clients);
        QFETCH(qint64, accounts);
        QFETCH(QString, cause);
        QTemporaryDir dir;
        {
            TestDatabase db(dir.path());
            db.addCustomer(QStringLiteral("000100"), QStringLiteral("Other"),
                           QStringLiteral("Other contact"));
            db.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON %1 BEGIN SELECT RAISE(%2); END")
                        .arg(table, action));
        }
        CapturingReporter messages;
        QCOMPARE(writeOne(dir.path(), messages), WriteOutcome::Refused);
        QCOMPARE(messages.messages().size(), 1);
        const QString& message = messages.messages().first();
        QVERIFY2(
            message.startsWith(u"Error Number equals 3317\nThe database refused the customer \"Acme\": "),
            qPrintable(message));
        QVERIFY2(message.endsWith(cause), qPrintable(message));
        TestDatabase db(dir.path(), TestDatabase::Open::Existing);
        QCOMPARE(db.count(QStringLiteral("CLIENT")), clients);
        QCOMPARE(db.count(QStringLiteral("CUSTOMERS")), accounts);
        QCOMPARE(db.count(QStringLiteral("ADDRESSES")), 1);
        QCOMPARE(db.value(QStringLiteral("SELECT group_concat(Name) FROM CONTACTS")).toString(),
                 QStringLiteral("Other contact"));
    }

    void lockedBeyondTheTimeoutStops()
    {
        QTemporaryDir dir;
        TestDatabase holder(dir.path());
        holder.exec(QStringLiteral("BEGIN IMMEDIATE"));
        CapturingReporter messages;
        QCOMPARE(writeOne(dir.path(), messages), WriteOutcome::Stopped);
        QCOMPARE(messages.messages().size(), 1);
        QVERIFY2(messages.messages().first().contains(QStringLiteral("locked")),
                 qPrintable(messages.messages().first()));
        holder.exec(QStringLiteral("ROLLBACK"));
        QCOMPARE(holder.count(QStringLiteral("CLIENT")), 0);
    }
};

QTEST_GUILESS_MAIN(tst_WriterFailures)
#include "tst_writer_failures.moc"
