#include "testdatabase.h"

#include "import/paths.h"
#include "import/writer/schema.h"

#include <QTest>

namespace brevik::testing {

TestDatabase::TestDatabase(const QString& folder, Open how)
    : m_path(joinFolderAndFile(folder, QStringLiteral("zrdata.mdb")))
{
    const db::Status created = how == Open::Create ? db::createDatabase(m_path) : db::Status();
    if (!created.ok())
        qFatal("cannot create the test database: %s", qPrintable(created.description()));
    const db::Status opened = db::Database::open(m_path, db::Database::Mode::OpenExisting, m_db);
    if (!opened.ok())
        qFatal("cannot open the test database: %s", qPrintable(opened.description()));
}

void TestDatabase::exec(const QString& sql, const QVariantList& values)
{
    db::Statement statement;
    db::Status status = m_db->prepare(sql, statement);
    for (int i = 0; status.ok() && i < values.size(); ++i)
        status = statement.bind(i + 1, values.at(i));
    if (status.ok())
        status = statement.run();
    if (!status.ok())
        qFatal("%s: %s", qPrintable(sql), qPrintable(status.description()));
}

QVariant TestDatabase::value(const QString& sql, const QVariantList& values)
{
    db::Statement statement;
    db::Status status = m_db->prepare(sql, statement);
    for (int i = 0; status.ok() && i < values.size(); ++i)
        status = statement.bind(i + 1, values.at(i));
    bool hasRow = false;
    if (status.ok())
        status = statement.step(hasRow);
    if (!status.ok())
        qFatal("%s: %s", qPrintable(sql), qPrintable(status.description()));
    return hasRow ? statement.column(0) : QVariant();
}

qint64 TestDatabase::count(const QString& table)
{
    return value(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

QList<QVariantList> TestDatabase::rows(const QString& table)
{
    db::Statement statement;
    db::Status status = m_db->prepare(
        QStringLiteral("SELECT rowid, * FROM ") + table + QStringLiteral(" ORDER BY rowid"), statement);
    QList<QVariantList> result;
    bool hasRow = false;
    while (status.ok() && (status = statement.step(hasRow)).ok() && hasRow) {
        QVariantList row;
        for (int i = 0; i < statement.columnCount(); ++i)
            row.append(statement.column(i));
        result.append(row);
    }
    if (!status.ok())
        qFatal("reading %s: %s", qPrintable(table), qPrintable(status.description()));
    return result;
}

qint64 TestDatabase::addCustomer(const QString& clientId, const QString& name, const QString& contact)
{
    exec(QStringLiteral(
             "INSERT INTO CLIENT (ClientID, Name, PastDue1, PastDue2, PastDue3, PastDue4, Tax, CreditLimit) "
             "VALUES (?1, ?2, 0, 0, 0, 0, 0, 0)"),
         {clientId, name});
    exec(QStringLiteral("INSERT INTO CUSTOMERS (AcctNo, AcctName, Tax, CreditLimit, PastDue30, PastDue60, "
                        "PastDue90, PastDue120, AcctTypeID) VALUES (?1, ?2, 0, 0, 0, 0, 0, 0, 'COD')"),
         {clientId, name});
    const qint64 key = value(QStringLiteral("SELECT max(CustomerID) FROM CUSTOMERS")).toLongLong();
    exec(QStringLiteral("INSERT INTO ADDRESSES (CustomerID, AddressTypeID, AddressName, MainAddress) "
                        "VALUES (?1, 'M', 'Main', 1)"),
         {key});
    exec(QStringLiteral("INSERT INTO CONTACTS (CustomerID, Name, Phone) VALUES (?1, ?2, '')"),
         {key, contact.isNull() ? QStringLiteral("") : contact});
    return key;
}

CustomerFields fieldsOf(const QString& name, const QString& phone, const QString& state,
                        const QString& contact, const QString& tax)
{
    CustomerFields f;
    f[FieldName] = name;
    f[FieldPhone] = phone;
    f[FieldState] = state;
    f[FieldContactName] = contact;
    f[FieldTax] = tax;
    return f;
}

} // namespace brevik::testing
