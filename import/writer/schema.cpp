#include "schema.h"

#include "import/engine/database.h"
#include "import/engine/statement.h"

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

// The auto-number keys. Each must be its table's INTEGER PRIMARY KEY, the row number that
// SQLite gives every new row by itself; a plain field would leave new rows without a key, and
// the addresses and contacts of a new account could not be attached to it.
constexpr std::array<std::pair<QLatin1StringView, QLatin1StringView>, 3> autoNumberKeys{{
    {"CUSTOMERS"_L1, "CustomerID"_L1},
    {"ADDRESSES"_L1, "AddressID"_L1},
    {"CONTACTS"_L1, "ContactID"_L1},
}};

Status checkAutoNumber(Database& db, QLatin1StringView table, QLatin1StringView field)
{
    // A primary key that is not the row number has an index of its own (origin 'pk'), as has
    // every key of a table without row numbers.
    Statement statement;
    if (Status s =
            db.prepare(QStringLiteral("SELECT (SELECT count(*) FROM pragma_table_info(?1) WHERE pk > 0), "
                                      "(SELECT count(*) FROM pragma_table_info(?1) WHERE pk > 0 AND "
                                      "upper(type) = 'INTEGER' AND name = ?2 COLLATE NOCASE), "
                                      "(SELECT count(*) FROM pragma_index_list(?1) WHERE origin = 'pk')"),
                       statement);
        !s)
        return s;
    bool hasRow = false;
    Status s = statement.bindText(1, QString(table));
    if (s)
        s = statement.bindText(2, QString(field));
    if (s)
        s = statement.step(hasRow);
    if (!s)
        return s;
    if (hasRow && statement.columnInt64(0) == 1 && statement.columnInt64(1) == 1 &&
        statement.columnInt64(2) == 0)
        return {};
    return Status::failure(
        ErrItemNotFound, QStringLiteral("The field %2 of the table %1 is not an auto-number field, so the "
                                        "database cannot give each new row its own %2. Nothing was written.")
                             .arg(table, field));
}

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
    for (const auto& [table, field] : autoNumberKeys) {
        if (Status s = checkAutoNumber(db, table, field); !s)
            return s;
    }
    return db.exec(QString(indexesSql));
}

} // namespace brevik::db
