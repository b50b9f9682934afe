#include "enginetest.h"

#include "import/engine/datacontrol.h"
#include "import/engine/recordset.h"
#include "import/engine/value.h"
#include "import/engine/workspace.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

using namespace brevik::db;
using namespace Qt::Literals::StringLiterals;
using Criterion = Recordset::Criterion;
using Test = Recordset::Criterion::Test;

Q_DECLARE_METATYPE(QList<Criterion>)

// FindFirst and FindNext give the rows a plain reading of the table in table order would give:
// the same rows, the first one first, duplicates each in turn.
class tst_FindRows : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Workspace m_workspace;
    std::unique_ptr<DataControl> m_clients;

    Recordset& clients() { return *m_clients->Recordset(); }

    void storeClient(const QVariant& name, bool taxable)
    {
        Recordset& rs = clients();
        QVERIFY_OK(rs.AddNew());
        QVERIFY_OK(rs.setValue("Name"_L1, name));
        QVERIFY_OK(rs.setValue("Tax"_L1, taxable));
        QVERIFY_OK(rs.Update());
    }

    // Every row found by FindFirst, then FindNext until it finds no more.
    QList<qint64> findAll(const QList<Criterion>& criteria)
    {
        QList<qint64> rows;
        bool found = false;
        if (!clients().FindFirst(criteria, found).ok())
            return {-1};
        while (found) {
            rows.append(clients().currentRowid());
            if (!clients().FindNext(criteria, found).ok())
                return {-1};
        }
        return rows;
    }

    static QString trimBlanks(const QString& text)
    {
        qsizetype begin = 0;
        qsizetype end = text.size();
        while (begin < end && text.at(begin) == u' ')
            ++begin;
        while (end > begin && text.at(end - 1) == u' ')
            --end;
        return text.sliced(begin, end - begin);
    }

    // The same search as the writer's own scan would make it: every row, in table order.
    QList<qint64> scanAll(const QString& name, Test test)
    {
        QList<qint64> rows;
        Recordset& rs = clients();
        if (!rs.MoveFirst().ok())
            return rows;
        for (; !rs.AtEOF(); (void)rs.MoveNext()) {
            QVariant value;
            (void)rs.value("Name"_L1, value);
            if (isNull(value))
                continue;
            const QString stored = value.toString();
            const bool match = test == Test::Equals ? stored == name : trimBlanks(stored) == name;
            if (match)
                rows.append(rs.currentRowid());
        }
        return rows;
    }

private Q_SLOTS:
    void init()
    {
        m_clients.reset();
        m_workspace.closeAll();
        QFile::remove(m_dir.filePath(u"zrdata.mdb"_s));
        const QString path = brevik::testing::createCustomerDatabase(m_dir.path());
        QVERIFY(!path.isEmpty());
        m_clients = std::make_unique<DataControl>(m_workspace, u"Data1"_s);
        m_clients->setDatabaseName(path);
        m_clients->setRecordSource(u"CLIENT"_s);
        QVERIFY_OK(m_clients->Refresh());
    }

    void findsInTableOrder_data()
    {
        QTest::addColumn<QList<Criterion>>("criteria");
        QTest::addColumn<QList<qint64>>("rows");
        using C = QList<Criterion>;
        using R = QList<qint64>;
        const QString acme = u"Acme Supply"_s;
        QTest::newRow("equals: duplicates in order") << C{{"Name"_L1, Test::Equals, acme}} << R{1, 3, 9};
        QTest::newRow("equals: case counts") << C{{"Name"_L1, Test::Equals, u"ACME SUPPLY"_s}} << R{5};
        QTest::newRow("equals: blanks count") << C{{"Name"_L1, Test::Equals, u" Acme Supply"_s}} << R{4};
        QTest::newRow("equals: empty text, not null") << C{{"Name"_L1, Test::Equals, u""_s}} << R{10};
        QTest::newRow("equals: no row") << C{{"Name"_L1, Test::Equals, u"Acme"_s}} << R{};
        QTest::newRow("trimmed: blanks at the ends")
            << C{{"Name"_L1, Test::TrimmedEquals, acme}} << R{1, 3, 4, 6, 9};
        QTest::newRow("trimmed: inner blanks count")
            << C{{"Name"_L1, Test::TrimmedEquals, u"Acme  Supply"_s}} << R{8};
        QTest::newRow("trimmed: a value with blanks")
            << C{{"Name"_L1, Test::TrimmedEquals, u" Acme Supply"_s}} << R{};
        QTest::newRow("is true") << C{{"Tax"_L1, Test::IsTrue, {}}} << R{1, 4, 5, 9};
        QTest::newRow("trimmed and true")
            << C{{"Name"_L1, Test::TrimmedEquals, acme}, {"Tax"_L1, Test::IsTrue, {}}} << R{1, 4, 9};
        QTest::newRow("no criteria: every row") << C{} << R{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    }
    void findsInTableOrder()
    {
        QFETCH(QList<Criterion>, criteria);
        QFETCH(QList<qint64>, rows);
        const QVariantList names{
            u"Acme Supply"_s,   u"Beta"_s,  u"Acme Supply"_s,  u" Acme Supply"_s, u"ACME SUPPLY"_s,
            u"Acme Supply  "_s, QVariant(), u"Acme  Supply"_s, u"Acme Supply"_s,  u""_s};
        for (qsizetype i = 0; i < names.size(); ++i)
            storeClient(names.at(i), QList<qsizetype>{1, 4, 5, 9}.contains(i + 1));

        QVERIFY_OK(clients().MoveFirst());
        QVERIFY_OK(clients().MoveNext()); // on row 2
        QCOMPARE(findAll(criteria), rows);
        // FindNext that finds no more, and FindFirst that finds nothing, leave the current row.
        QCOMPARE(clients().currentRowid(), rows.isEmpty() ? qint64(2) : rows.last());
        QVariant name;
        QVERIFY_OK(clients().value("Name"_L1, name));
        QCOMPARE(name, names.at(clients().currentRowid() - 1));
    }

    void findsWhatAScanFinds()
    {
        // Random tables of near-identical names, with gaps from deletes, searched for every name.
        const QStringList words{u"Acme"_s, u"acme"_s, u"Supply"_s, u" "_s, u"  "_s, u"Co"_s};
        QRandomGenerator random(20240611);
        for (int round = 0; round < 4; ++round) {
            init();
            QStringList candidates;
            Transaction transaction(*m_clients->database());
            QVERIFY_OK(transaction.begin());
            for (int i = 0; i < 150; ++i) {
                QString name;
                for (int w = int(random.bounded(4)); w >= 0; --w)
                    name += words.at(random.bounded(int(words.size())));
                candidates.append(name);
                storeClient(random.bounded(20) == 0 ? QVariant() : QVariant(name), false);
            }
            QVERIFY_OK(m_clients->database()->exec(u"DELETE FROM CLIENT WHERE rowid % 7 = %1"_s.arg(round)));
            QVERIFY_OK(transaction.commit());
            for (const QString& name : std::as_const(candidates)) {
                for (const Test test : {Test::Equals, Test::TrimmedEquals}) {
                    const QList<Criterion> criteria{{"Name"_L1, test, name}};
                    QCOMPARE(findAll(criteria), scanAll(name, test));
                }
            }
        }
    }

    void searchErrors()
    {
        storeClient(u"Only"_s, false);
        bool found = true;
        const QList<Criterion> unknown{{"Nmae"_L1, Test::Equals, u"Only"_s}};
        QCOMPARE(clients().FindFirst(unknown, found).number(), int(ErrItemNotFound));
        QVERIFY(!found);
        const QList<Criterion> none{{"Name"_L1, Test::Equals, u"Other"_s}};
        QVERIFY_OK(clients().MoveFirst());
        QVERIFY_OK(clients().MoveNext());
        QVERIFY(clients().AtEOF());
        QCOMPARE(clients().FindNext(none, found).number(), int(ErrNoCurrentRecord));
    }

    void scanReadsEveryRowInOrder()
    {
        storeClient(u"First"_s, false);
        storeClient(QVariant(), false);
        storeClient(u"Third"_s, false);
        QVERIFY_OK(m_clients->database()->exec(u"DELETE FROM CLIENT WHERE rowid = 1"_s));
        storeClient(u"Fourth"_s, false);
        QList<qint64> rowids;
        QVariantList values;
        QVERIFY_OK(clients().scanField("Name"_L1, [&](qint64 rowid, const QVariant& value) {
            rowids.append(rowid);
            values.append(value);
        }));
        QCOMPARE(rowids, (QList<qint64>{2, 3, 4}));
        QVERIFY(isNull(values.at(0)));
        QCOMPARE(values.at(1), QVariant(u"Third"_s));
        QCOMPARE(values.at(2), QVariant(u"Fourth"_s));
        QCOMPARE(clients().scanField("Nmae"_L1, [](qint64, const QVariant&) {}).number(),
                 int(ErrItemNotFound));
    }
};

QTEST_GUILESS_MAIN(tst_FindRows)
#include "tst_findrows.moc"
