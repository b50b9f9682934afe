#include "referencewriter.h"
#include "testdatabase.h"

#include "import/reporter.h"
#include "import/writer/clientwriter.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace brevik;
using namespace brevik::testing;

// The writer finds clients through indexes and keeps the highest client number between calls;
// the plain rules read CLIENT from start to end for every customer. On many random tables, and
// random runs of customers against them, both must leave the same rows and show the same
// messages.
class tst_WriterPlainRules : public QObject
{
    Q_OBJECT

private:
    static QString pick(QRandomGenerator& random, const QStringList& pool)
    {
        return pool.at(random.bounded(pool.size()));
    }

    static const QStringList& names()
    {
        static const QStringList pool = {
            QStringLiteral("Acme Supply"),
            QStringLiteral("ACME SUPPLY"),
            QStringLiteral(" Acme Supply"),
            QStringLiteral("Acme  Supply"),
            QStringLiteral("Springfield Hardware & Lu"),
            QStringLiteral("Springfield Hardware & Lu "),
            QStringLiteral("  Springfield Hardware & Lu"),
            QStringLiteral("Springfield Hardware & Lumber Co"),
            QStringLiteral("Springfield Hardware & Lumber Company Limited"),
            QStringLiteral("Springfield Hardware & Lumber Company Lim"),
            QStringLiteral("Null"),
            QStringLiteral(""),
            QStringLiteral("Caf\u00e9 Nord"),
            QStringLiteral("Bayshore Cafe"),
            QStringLiteral("Bayshore Cafe Catering And Events Incorporated"),
            QStringLiteral("Bayshore Cafe Catering And"),
        };
        return pool;
    }

    static QVariant clientId(QRandomGenerator& random)
    {
        // Texts and whole numbers, around the edges of the quick reading of plain numbers.
        static const QVariantList pool = {
            QStringLiteral("000100"),
            QStringLiteral("000101"),
            QStringLiteral("000250"),
            QStringLiteral("A17"),
            QStringLiteral(""),
            QStringLiteral("17B"),
            QStringLiteral(" 42"),
            QStringLiteral("999999"),
            QStringLiteral("-5"),
            QStringLiteral("1e3"),
            QStringLiteral("&H1F"),
            QStringLiteral("99999999999"),
            QStringLiteral("2.5"),
            QStringLiteral("000009"),
            QStringLiteral("999999999"),
            QStringLiteral("2147483647"),
            QStringLiteral("2147483648"),
            QStringLiteral("0000000000300"),
            qint64(400),
            qint64(-7),
            qint64(999999999),
            qint64(2147483647),
            qint64(3000000000),
            12.5,
        };
        if (random.bounded(10) == 0)
            return QVariant(); // a null number
        return pool.at(random.bounded(pool.size()));
    }

    static QVariant maybeNull(QRandomGenerator& random, const QVariant& value)
    {
        return random.bounded(8) == 0 ? QVariant() : value;
    }

    static void fill(TestDatabase& db, QRandomGenerator& random)
    {
        const int clients = random.bounded(12);
        QStringList numbers;
        for (int i = 0; i < clients; ++i) {
            const QVariant id = clientId(random);
            numbers.append(id.toString());
            db.exec(
                QStringLiteral("INSERT INTO CLIENT (ClientID, Name, PastDue1, Tax) VALUES (?1, ?2, ?3, 0)"),
                {id, maybeNull(random, pick(random, names())), qint64(random.bounded(500))});
        }
        const int accounts = random.bounded(clients + 2);
        for (int i = 0; i < accounts; ++i) {
            const QString number = numbers.isEmpty() || random.bounded(5) == 0 ? QStringLiteral("000777")
                                                                               : pick(random, numbers);
            db.exec(QStringLiteral("INSERT INTO CUSTOMERS (AcctNo, AcctName, PastDue30, AcctTypeID) "
                                   "VALUES (?1, 'x', ?2, 'NET')"),
                    {maybeNull(random, number), qint64(random.bounded(90))});
        }
        const qint64 maxKey =
            db.value(QStringLiteral("SELECT coalesce(max(CustomerID), 0) FROM CUSTOMERS")).toLongLong();
        const int addresses = random.bounded(accounts * 2 + 1);
        for (int i = 0; i < addresses; ++i) {
            const QVariant main =
                QList<QVariant>{qint64(1), qint64(0), qint64(-1), QVariant()}.at(random.bounded(4));
            db.exec(QStringLiteral("INSERT INTO ADDRESSES (CustomerID, AddressTypeID, AddressName, Street1, "
                                   "MainAddress) VALUES (?1, ?2, 'Main', 'old street', ?3)"),
                    {qint64(1 + random.bounded(int(maxKey + 1))),
                     random.bounded(3) ? QStringLiteral("M") : QStringLiteral("B"), main});
        }
        const int contacts = random.bounded(accounts * 2 + 1);
        for (int i = 0; i < contacts; ++i)
            db.exec(
                QStringLiteral("INSERT INTO CONTACTS (CustomerID, Name, Phone) VALUES (?1, ?2, 'old')"),
                {qint64(1 + random.bounded(int(maxKey + 1))),
                 pick(random, {QStringLiteral("Ann Lee"), QStringLiteral("Bo Chan"), QStringLiteral("")})});
    }

    static CustomerFields customer(QRandomGenerator& random)
    {
        static const QStringList phones = {
            QStringLiteral("(305) 555-0147"),        QStringLiteral("(305)555-0147"),
            QStringLiteral("1 (305) 555-0147"),      QStringLiteral("305 555 0147"),
            QStringLiteral("(305) 555-0147 ext 12"), QString()};
        CustomerFields f;
        f[FieldName] = random.bounded(4) == 0 ? QStringLiteral("New Customer %1").arg(random.bounded(5))
                                              : pick(random, names());
        f[FieldAddress1] = QStringLiteral("12 Oak St");
        f[FieldAddress2] = random.bounded(2) ? QStringLiteral("Suite 4") : QString();
        f[FieldCity] = QStringLiteral("Springfield");
        f[FieldState] = pick(random, {QStringLiteral("IL"), QStringLiteral("Alaska"), QString()});
        f[FieldZip] = QStringLiteral("62704");
        f[FieldPhone] = pick(random, phones);
        f[FieldContactName] = pick(random, {QStringLiteral("Ann Lee"), QStringLiteral("Bo Chan"), QString()});
        f[FieldTax] = pick(random, {QStringLiteral("1"), QStringLiteral("0"), QString()});
        return f;
    }

private Q_SLOTS:
    void sameRowsAndMessages()
    {
        const char* tables[] = {"CLIENT", "CUSTOMERS", "ADDRESSES", "CONTACTS"};
        for (quint32 seed = 1; seed <= 150; ++seed) {
            QRandomGenerator random(seed);
            QTemporaryDir fastDir;
            QTemporaryDir plainDir;
            {
                TestDatabase fast(fastDir.path());
                fill(fast, random);
                fast.close();
            }
            QVERIFY(QFile::copy(fastDir.path() + QStringLiteral("/zrdata.mdb"),
                                plainDir.path() + QStringLiteral("/zrdata.mdb")));

            CapturingReporter fastMessages;
            ReferenceWriter plain;
            {
                ClientWriter writer(fastMessages);
                writer.setBatchLimits(1 + random.bounded(4), 1000);
                const int calls = 1 + random.bounded(8);
                for (int call = 0; call < calls; ++call) {
                    WindowValues fastValues;
                    fastValues.txtHold1 = fastDir.path();
                    fastValues.Text1 = customer(random);
                    WindowValues plainValues = fastValues;
                    plainValues.txtHold1 = plainDir.path();
                    QVERIFY(writer.AddClient(fastValues) != WriteOutcome::Stopped);
                    QVERIFY(plain.AddClient(plainValues));
                    QCOMPARE(fastValues.Text1, plainValues.Text1);
                }
                QVERIFY(writer.finish());
            }
            QCOMPARE(fastMessages.messages(), plain.messages);

            TestDatabase fastRows(fastDir.path(), TestDatabase::Open::Existing);
            TestDatabase plainRows(plainDir.path(), TestDatabase::Open::Existing);
            for (const char* table : tables) {
                const QString name = QString::fromLatin1(table);
                if (fastRows.rows(name) != plainRows.rows(name))
                    QFAIL(qPrintable(QStringLiteral("seed %1: table %2 differs").arg(seed).arg(name)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_WriterPlainRules)
#include "tst_writer_plain_rules.moc"
