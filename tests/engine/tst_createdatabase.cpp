#include "enginetest.h"

#include "import/engine/recordset.h"
#include "import/engine/statement.h"
#include "import/engine/value.h"
#include "import/paths.h"
#include "import/reporter.h"
#include "support/testsupport.h"
#include "tools/createdatabase.h"

#include <QTemporaryDir>
#include <QTest>

using namespace brevik::db;
using namespace brevik::testing;
using namespace Qt::Literals::StringLiterals;

// A new zrdata.mdb holds the four customer tables with exactly the writer's fields, keeps each
// value in its kind, and never replaces a file; a database from elsewhere is checked before use.
class tst_CreateDatabase : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    static QStringList queryColumn(Database& db, const QString& sql)
    {
        QStringList values;
        Statement statement;
        if (!db.prepare(sql, statement).ok())
            return {u"(no statement)"_s};
        bool hasRow = false;
        while (statement.step(hasRow).ok() && hasRow)
            values.append(statement.column(0).toString());
        return values;
    }

    // The customer tables without the indexes, with one table or one field left out.
    static QString customerTablesSql(QLatin1StringView skipTable, QLatin1StringView skipField)
    {
        QString sql;
        for (const TableFields& table : customerTables()) {
            if (table.table == skipTable)
                continue;
            QStringList fields;
            for (const QLatin1StringView field : table.fields) {
                if (field != skipField)
                    fields.append(field == "Tax"_L1 && skipField == "tax"_L1 ? u"tax"_s : QString(field));
            }
            // The first field of the three account tables is their auto-number key.
            if (table.table != "CLIENT"_L1 && fields.first() == table.fields.front())
                fields.first() += u" INTEGER PRIMARY KEY"_s;
            sql += u"CREATE TABLE %1 (%2);"_s.arg(table.table, fields.join(u", "));
        }
        return sql;
    }

private Q_SLOTS:
    void createsTheCustomerTables()
    {
        const QString path = createCustomerDatabase(m_dir.filePath(u"tables"_s));
        QVERIFY(path.isEmpty()); // the folder does not exist
        QVERIFY(QDir(m_dir.path()).mkdir(u"tables"_s));
        const QString created = createCustomerDatabase(m_dir.filePath(u"tables"_s));
        QVERIFY(!created.isEmpty());
        QCOMPARE(readBytes(created).mid(18, 2), QByteArray("\x02\x02", 2)); // write-ahead log
        auto db = openDatabase(created);
        QVERIFY(db);

        for (const TableFields& table : customerTables()) {
            QStringList expected;
            for (const QLatin1StringView field : table.fields)
                expected.append(field);
            QStringList columns;
            QVERIFY_OK(db->columns(QString(table.table), columns));
            QCOMPARE(columns, expected);
            const QString info = u"FROM pragma_table_info('%1')"_s.arg(table.table);
            QCOMPARE(queryColumn(*db, u"SELECT name " % info % u" WHERE \"notnull\""), QStringList());
            const QStringList key = queryColumn(*db, u"SELECT name " % info % u" WHERE pk");
            QCOMPARE(key, table.table == "CLIENT"_L1 ? QStringList() : QStringList{expected.first()});
        }
        QCOMPARE(queryColumn(*db, u"SELECT name FROM sqlite_master WHERE type = 'index' ORDER BY name"_s),
                 (QStringList{u"ADDRESSES_CustomerID"_s, u"CLIENT_ClientID"_s, u"CLIENT_Name"_s,
                              u"CLIENT_TrimmedName"_s, u"CONTACTS_CustomerID"_s, u"CUSTOMERS_AcctNo"_s}));
    }

    void valuesKeepTheirKind_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<QVariant>("read");
        QTest::newRow("client number stays text")
            << u"CLIENT"_s << u"ClientID"_s << QVariant(u"000100"_s) << QVariant(u"000100"_s);
        QTest::newRow("postal code stays text")
            << u"ADDRESSES"_s << u"Zip"_s << QVariant(u"02134"_s) << QVariant(u"02134"_s);
        QTest::newRow("text beyond ASCII") << u"CLIENT"_s << u"Name"_s << QVariant(u"Caf\u00e9 \u20ac 5"_s)
                                           << QVariant(u"Caf\u00e9 \u20ac 5"_s);
        QTest::newRow("empty text is not null")
            << u"CLIENT"_s << u"Name"_s << QVariant(QString()) << QVariant(u""_s);
        QTest::newRow("null") << u"CLIENT"_s << u"Name"_s << QVariant() << QVariant();
        QTest::newRow("yes") << u"CLIENT"_s << u"Tax"_s << QVariant(true) << QVariant(qint64(1));
        QTest::newRow("no") << u"ADDRESSES"_s << u"MainAddress"_s << QVariant(false) << QVariant(qint64(0));
        QTest::newRow("small number")
            << u"CUSTOMERS"_s << u"PastDue30"_s << QVariant(short(0)) << QVariant(qint64(0));
        QTest::newRow("number given as text")
            << u"CLIENT"_s << u"CreditLimit"_s << QVariant(u"0"_s) << QVariant(qint64(0));
        QTest::newRow("real number") << u"CLIENT"_s << u"PastDue1"_s << QVariant(2.5) << QVariant(2.5);
        QTest::newRow("bytes") << u"CONTACTS"_s << u"Phone"_s << QVariant(QByteArray("\x00\x01", 2))
                               << QVariant(QByteArray("\x00\x01", 2));
    }
    void valuesKeepTheirKind()
    {
        QFETCH(QString, table);
        QFETCH(QString, field);
        QFETCH(QVariant, stored);
        QFETCH(QVariant, read);
        QTemporaryDir folder;
        auto db = openDatabase(createCustomerDatabase(folder.path()));
        QVERIFY(db);
        const QByteArray name = field.toLatin1();
        QStringList columns;
        QVERIFY_OK(db->columns(table, columns));
        Recordset writer(*db, table, columns);
        QVERIFY_OK(writer.AddNew());
        QVERIFY_OK(writer.setValue(QLatin1StringView(name), stored));
        QVERIFY_OK(writer.Update());

        Recordset reader(*db, table, columns);
        QVERIFY_OK(reader.MoveLast());
        QVariant value;
        QVERIFY_OK(reader.value(QLatin1StringView(name), value));
        QCOMPARE(isNull(value), isNull(read));
        QCOMPARE(value.typeId(), read.typeId());
        QCOMPARE(value, read);
        QString text;
        QCOMPARE(valueAsText(value, text).number(), isNull(read) ? int(ErrInvalidUseOfNull) : 0);
    }

    void refusesToReplaceAFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a database") << QByteArray("SQLite format 3\0", 16) + QByteArray(4080, '\0');
        QTest::newRow("an Access file") << QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20);
        QTest::newRow("an empty file") << QByteArray();
    }
    void refusesToReplaceAFile()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir folder;
        const QString path = folder.filePath(u"zrdata.mdb"_s);
        QVERIFY(writeBytes(path, bytes));
        const Status refused = createDatabase(path);
        QCOMPARE(refused.number(), int(ErrDatabaseExists));
        QVERIFY(refused.description().contains(u"already exists"));
        QCOMPARE(readBytes(path), bytes);

        brevik::CapturingReporter reporter;
        QCOMPARE(brevik::tool::runCreateDatabase(folder.path(), reporter), 1);
        QCOMPARE(reporter.messages().size(), 1);
        QVERIFY(reporter.messages().first().contains(brevik::displayPath(path)));
        QVERIFY(reporter.messages().first().contains(u"already exists"));
        QCOMPARE(readBytes(path), bytes);
    }

    void toolCreatesTheDatabase()
    {
        QTemporaryDir folder;
        brevik::CapturingReporter reporter;
        QCOMPARE(brevik::tool::runCreateDatabase(folder.path(), reporter), 0);
        QCOMPARE(reporter.messages(), QStringList());
        auto db = openDatabase(brevik::joinFolderAndFile(folder.path(), u"zrdata.mdb"_s));
        QVERIFY(db);
        QVERIFY_OK(prepareForImport(*db));
    }

    void checksADatabaseBeforeImport_data()
    {
        QTest::addColumn<QString>("skipTable");
        QTest::addColumn<QString>("skipField");
        QTest::addColumn<int>("error");
        QTest::addColumn<QStringList>("named");
        QTest::newRow("complete") << QString() << QString() << 0 << QStringList();
        QTest::newRow("field in other case") << QString() << u"tax"_s << 0 << QStringList();
        QTest::newRow("no CONTACTS") << u"CONTACTS"_s << QString() << int(ErrTableNotFound)
                                     << QStringList{u"CONTACTS"_s};
        QTest::newRow("no MainAddress") << QString() << u"MainAddress"_s << int(ErrItemNotFound)
                                        << QStringList{u"ADDRESSES"_s, u"MainAddress"_s};
        QTest::newRow("no ClientID") << QString() << u"ClientID"_s << int(ErrItemNotFound)
                                     << QStringList{u"CLIENT"_s, u"ClientID"_s};
    }
    void checksADatabaseBeforeImport()
    {
        QFETCH(QString, skipTable);
        QFETCH(QString, skipField);
        QFETCH(int, error);
        QFETCH(QStringList, named);
        QTemporaryDir folder;
        std::unique_ptr<Database> db;
        QVERIFY_OK(Database::open(folder.filePath(u"zrdata.mdb"_s), Database::Mode::Create, db));
        const QByteArray table = skipTable.toLatin1();
        const QByteArray field = skipField.toLatin1();
        QVERIFY_OK(db->exec(customerTablesSql(QLatin1StringView(table), QLatin1StringView(field))));

        const Status checked = prepareForImport(*db);
        QCOMPARE(checked.number(), error);
        for (const QString& name : named)
            QVERIFY2(checked.description().contains(name), qPrintable(checked.description()));
        const QStringList indexes =
            queryColumn(*db, u"SELECT name FROM sqlite_master WHERE type = 'index'"_s);
        QCOMPARE(indexes.size(), error == 0 ? 6 : 0); // the indexes are added only to a sound database
    }
};

QTEST_GUILESS_MAIN(tst_CreateDatabase)
#include "tst_createdatabase.moc"
