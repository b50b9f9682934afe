#include "schema.h"

#include "database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <array>
#include <memory>

namespace brevik::db {

namespace {

using namespace Qt::Literals::StringLiterals;

constexpr std::array clientFields{
    "ClientID"_L1, "Name"_L1,     "Addr1"_L1, "Addr2"_L1,       "Addr3"_L1,    "City"_L1,
    "State"_L1,    "Zip"_L1,      "Phone"_L1, "Contact"_L1,     "PastDue1"_L1, "PastDue2"_L1,
    "PastDue3"_L1, "PastDue4"_L1, "Tax"_L1,   "CreditLimit"_L1,
};
constexpr std::array customersFields{
    "CustomerID"_L1, "AcctNo"_L1,    "AcctName"_L1,  "Tax"_L1,        "MainPhone"_L1,  "CreditLimit"_L1,
    "PastDue30"_L1,  "PastDue60"_L1, "PastDue90"_L1, "PastDue120"_L1, "AcctTypeID"_L1,
};
constexpr std::array addressesFields{
    "AddressID"_L1, "CustomerID"_L1, "AddressTypeID"_L1, "AddressName"_L1, "Street1"_L1,
    "Street2"_L1,   "City"_L1,       "State"_L1,         "Zip"_L1,         "MainAddress"_L1,
};
constexpr std::array contactsFields{"ContactID"_L1, "CustomerID"_L1, "Name"_L1, "Phone"_L1};

const std::array<TableFields, 4> tables{{
    {"CLIENT"_L1, clientFields},
    {"CUSTOMERS"_L1, customersFields},
    {"ADDRESSES"_L1, addressesFields},
    {"CONTACTS"_L1, contactsFields},
}};

// Text fields are TEXT; numbers and yes/no flags are INTEGER (yes is 1, no is 0). The three
// auto-number keys count up and never reuse a number; CLIENT has no key of its own, its rows
// are in the order they were stored. Every other field accepts null.
constexpr auto tablesSql = R"(
CREATE TABLE "CLIENT" (
    "ClientID" TEXT, "Name" TEXT, "Addr1" TEXT, "Addr2" TEXT, "Addr3" TEXT, "City" TEXT,
    "State" TEXT, "Zip" TEXT, "Phone" TEXT, "Contact" TEXT,
    "PastDue1" INTEGER, "PastDue2" INTEGER, "PastDue3" INTEGER, "PastDue4" INTEGER,
    "Tax" INTEGER, "CreditLimit" INTEGER);
CREATE TABLE "CUSTOMERS" (
    "CustomerID" INTEGER PRIMARY KEY AUTOINCREMENT, "AcctNo" TEXT, "AcctName" TEXT, "Tax" INTEGER,
    "MainPhone" TEXT, "CreditLimit" INTEGER,
    "PastDue30" INTEGER, "PastDue60" INTEGER, "PastDue90" INTEGER, "PastDue120" INTEGER,
    "AcctTypeID" TEXT);
CREATE TABLE "ADDRESSES" (
    "AddressID" INTEGER PRIMARY KEY AUTOINCREMENT, "CustomerID" INTEGER, "AddressTypeID" TEXT,
    "AddressName" TEXT, "Street1" TEXT, "Street2" TEXT, "City" TEXT, "State" TEXT, "Zip" TEXT,
    "MainAddress" INTEGER);
CREATE TABLE "CONTACTS" (
    "ContactID" INTEGER PRIMARY KEY AUTOINCREMENT, "CustomerID" INTEGER, "Name" TEXT, "Phone" TEXT);
)"_L1;

// The writer's look-ups: clients by name, exact and trimmed, and by number; accounts by
// client number; addresses and contacts by account. BINARY keeps the name indexes usable for
// exact comparisons whatever collation a field was declared with.
constexpr auto indexesSql = R"(
CREATE INDEX IF NOT EXISTS "CLIENT_Name" ON "CLIENT" ("Name" COLLATE BINARY);
CREATE INDEX IF NOT EXISTS "CLIENT_TrimmedName" ON "CLIENT" (trim("Name", ' '));
CREATE INDEX IF NOT EXISTS "CLIENT_ClientID" ON "CLIENT" ("ClientID" COLLATE BINARY);
CREATE INDEX IF NOT EXISTS "CUSTOMERS_AcctNo" ON "CUSTOMERS" ("AcctNo" COLLATE BINARY);
CREATE INDEX IF NOT EXISTS "ADDRESSES_CustomerID" ON "ADDRESSES" ("CustomerID");
CREATE INDEX IF NOT EXISTS "CONTACTS_CustomerID" ON "CONTACTS" ("CustomerID");
)"_L1;

void removeDatabaseFiles(const QString& path)
{
    for (const QString& suffix :
         {QString(), QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

} // namespace

std::span<const TableFields> customerTables()
{
    return tables;
}

Status createDatabase(const QString& path)
{
    const Status exists =
        Status::failure(ErrDatabaseExists, QStringLiteral("A file of that name already exists, "
                                                          "and it is never replaced."));
    if (inspectFile(path) != FileKind::Missing)
        return exists;
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        return Status::failure(ErrCannotOpen, QStringLiteral("The folder %1 does not exist.")
                                                  .arg(QDir::toNativeSeparators(info.absolutePath())));

    // Claiming the name first refuses, at the last moment too, a file that another program made.
    QFile claim(path);
    if (!claim.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QFileInfo::exists(path) ? exists : Status::failure(ErrCannotOpen, claim.errorString() % u'.');
    claim.close();

    Status s;
    {
        std::unique_ptr<Database> db;
        s = Database::open(path, Database::Mode::Create, db);
        if (s)
            s = db->exec(u"BEGIN IMMEDIATE;" % QString(tablesSql) % QString(indexesSql) % u"COMMIT;");
        if (!s && db)
            db->rollback();
    }
    if (!s)
        removeDatabaseFiles(path);
    return s;
}

Status prepareForImport(Database& db)
{
    for (const TableFields& table : customerTables()) {
        QStringList columns;
        if (Status s = db.columns(QString(table.table), columns); !s)
            return s;
        for (const QLatin1StringView field : table.fields) {
            if (!columns.contains(field, Qt::CaseInsensitive))
                return Status::failure(
                    ErrItemNotFound, QStringLiteral("The table %1 has no field %2.").arg(table.table, field));
        }
    }
    return db.exec(QString(indexesSql));
}

} // namespace brevik::db
