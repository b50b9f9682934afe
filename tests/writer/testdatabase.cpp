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
    m_db = std::make_unique<SqliteFile>(m_path);
    if (!m_db->isOpen())
        qFatal("cannot open the test database: %s", qPrintable(m_db->error()));
}

QList<QVariantList> TestDatabase::query(const QString& sql, const QVariantList& values)
{
    QList<QVariantList> found;
    if (!m_db->query(sql, values, &found))
        qFatal("%s: %s", qPrintable(sql), qPrintable(m_db->error()));
    return found;
}

void TestDatabase::exec(const QString& sql, const QVariantList& values)
{
    (void)query(sql, values);
}

QVariant TestDatabase::value(const QString& sql, const QVariantList& values)
{
    const QList<QVariantList> found = query(sql, values);
    return found.isEmpty() ? QVariant() : found.first().value(0);
}

qint64 TestDatabase::count(const QString& table)
{
    return value(QStringLiteral("SELECT count(*) FROM ") + table).toLongLong();
}

QList<QVariantList> TestDatabase::rows(const QString& table)
{
    return query(QStringLiteral("SELECT rowid, * FROM ") + table + QStringLiteral(" ORDER BY rowid"), {});
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
