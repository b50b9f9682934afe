#include "rawbaseline.h"

#include "childprocess.h"

#include "import/engine/database.h"
#include "import/export/cp1252.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "import/rules/fieldrules.h"
#include "import/rules/rowscan.h"
#include "import/writer/clientnumbers.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>

#include <array>
#include <memory>
#include <utility>

namespace brevik::bench {

bool storedCustomers(const QString& exportFile, std::vector<StoredCustomer>& out, QString& error)
{
    out.clear();
    QFile file(exportFile);
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
        return false;
    }
    ScanSettings settings{QStringLiteral("0"), ExportColumns()};
    bool headerSeen = false;
    RowReader reader(file);
    QByteArrayView row;
    CustomerFields f;
    qint64 highest = 99;
    while (reader.next(row)) {
        if (!isCustomerRow(row)) {
            if (!headerSeen && isCustomerHeaderRow(row)) {
                settings.columns = headerColumns(row);
                headerSeen = true;
            }
            continue;
        }
        for (QString& field : f)
            field.clear();
        if (!scanRow(fromCp1252(row.data(), row.size()), settings, f) || f[FieldName].isEmpty())
            continue;
        applyNameCut(f[FieldName]);
        applyStateCut(f[FieldState]);
        const QString phone = normalisePhone(f[FieldPhone], PhoneVariant::Insert);
        StoredCustomer c;
        c.clientId = ClientNumbers::format(highest++).toUtf8();
        c.name = f[FieldName].toUtf8();
        c.addr1 = f[FieldAddress1].toUtf8();
        c.addr2 = f[FieldAddress2].toUtf8();
        c.addr3 = f[FieldAddress3].toUtf8();
        c.city = f[FieldCity].toUtf8();
        c.state = f[FieldState].toUtf8();
        c.zip = f[FieldZip].toUtf8();
        c.clientPhone = clientPhone(phone).toUtf8();
        c.phone = phone.toUtf8();
        c.contact = f[FieldContactName].toUtf8();
        c.taxable = taxFlag(f[FieldTax]);
        out.push_back(std::move(c));
    }
    if (reader.failed()) {
        error = reader.errorString();
        return false;
    }
    return true;
}

bool ourEngineSettings(const QString& databasePath, EngineSettings& out, QString& error)
{
    std::unique_ptr<db::Database> database;
    db::Status s = db::Database::open(databasePath, db::Database::Mode::OpenExisting, database);
    const auto ask = [&](const char* pragma, QVariant& value) {
        db::Statement* statement = nullptr;
        bool hasRow = false;
        if (s)
            s = database->cached(QString::fromLatin1(pragma), statement);
        if (s)
            s = statement->step(hasRow);
        if (s && hasRow)
            value = statement->column(0);
        if (statement)
            statement->reset();
    };
    QVariant journal, synchronous, cache, checkpoint;
    ask("PRAGMA journal_mode", journal);
    ask("PRAGMA synchronous", synchronous);
    ask("PRAGMA cache_size", cache);
    ask("PRAGMA wal_autocheckpoint", checkpoint);
    out.journalMode = journal.toString();
    out.synchronous = synchronous.toInt();
    out.cacheSize = cache.toLongLong();
    out.walAutoCheckpoint = checkpoint.toLongLong();
    if (!s)
        error = s.description();
    return s.ok();
}

namespace {

// The connection and the statements of one raw run; everything is finalized and closed on return.
class RawConnection
{
public:
    ~RawConnection() { close(); }

    // Closing the last connection checkpoints what the journal still holds into the file.
    bool close()
    {
        for (sqlite3_stmt*& statement : statements)
            sqlite3_finalize(std::exchange(statement, nullptr));
        return sqlite3_close(std::exchange(db, nullptr)) == SQLITE_OK;
    }

    bool fail(QString& error) const
    {
        error = QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory");
        return false;
    }

    sqlite3* db = nullptr;
    std::array<sqlite3_stmt*, 6> statements{};
};

constexpr std::array<const char*, 6> rawSql = {
    R"(INSERT INTO "CLIENT" ("ClientID", "Name", "Addr1", "Addr2", "Addr3", "City", "State", "Zip", "Phone",
       "Contact", "PastDue1", "PastDue2", "PastDue3", "PastDue4", "Tax", "CreditLimit")
       VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, 0, 0, 0, 0, ?11, 0))",
    R"(INSERT INTO "CUSTOMERS" ("AcctNo", "AcctName", "Tax", "MainPhone", "CreditLimit", "PastDue30",
       "PastDue60", "PastDue90", "PastDue120", "AcctTypeID") VALUES (?1, ?2, ?3, ?4, 0, 0, 0, 0, 0, 'COD'))",
    R"(INSERT INTO "ADDRESSES" ("CustomerID", "AddressTypeID", "AddressName", "Street1", "Street2", "City",
       "State", "Zip", "MainAddress") VALUES (?1, 'M', 'Main', ?2, ?3, ?4, ?5, ?6, 1))",
    R"(INSERT INTO "CONTACTS" ("CustomerID", "Name", "Phone") VALUES (?1, ?2, ?3))",
    "BEGIN IMMEDIATE",
    "COMMIT",
};

// The synchronous setting by name, so that no value is ever spliced into SQL.
const char* synchronousPragma(int level)
{
    switch (level) {
    case 0:
        return "PRAGMA synchronous = OFF";
    case 1:
        return "PRAGMA synchronous = NORMAL";
    case 2:
        return "PRAGMA synchronous = FULL";
    case 3:
        return "PRAGMA synchronous = EXTRA";
    }
    return nullptr;
}

void bindText(sqlite3_stmt* statement, int index, const QByteArray& text)
{
    // Never a null pointer: empty text is stored as empty text.
    sqlite3_bind_text(statement, index, text.isEmpty() ? "" : text.constData(), int(text.size()),
                      SQLITE_STATIC);
}

bool runStatement(sqlite3_stmt* statement)
{
    const int rc = sqlite3_step(statement);
    sqlite3_reset(statement);
    return rc == SQLITE_DONE;
}

bool insertOne(RawConnection& c, const StoredCustomer& customer)
{
    sqlite3_stmt* client = c.statements[0];
    bindText(client, 1, customer.clientId);
    bindText(client, 2, customer.name);
    bindText(client, 3, customer.addr1);
    bindText(client, 4, customer.addr2);
    bindText(client, 5, customer.addr3);
    bindText(client, 6, customer.city);
    bindText(client, 7, customer.state);
    bindText(client, 8, customer.zip);
    bindText(client, 9, customer.clientPhone);
    bindText(client, 10, customer.contact);
    sqlite3_bind_int(client, 11, customer.taxable ? 1 : 0);
    if (!runStatement(client))
        return false;

    sqlite3_stmt* account = c.statements[1];
    bindText(account, 1, customer.clientId);
    bindText(account, 2, customer.name);
    sqlite3_bind_int(account, 3, customer.taxable ? 1 : 0);
    bindText(account, 4, customer.phone);
    if (!runStatement(account))
        return false;
    const sqlite3_int64 key = sqlite3_last_insert_rowid(c.db);

    sqlite3_stmt* address = c.statements[2];
    sqlite3_bind_int64(address, 1, key);
    bindText(address, 2, customer.addr1);
    bindText(address, 3, customer.addr2);
    bindText(address, 4, customer.city);
    bindText(address, 5, customer.state);
    bindText(address, 6, customer.zip);
    if (!runStatement(address))
        return false;

    sqlite3_stmt* contact = c.statements[3];
    sqlite3_bind_int64(contact, 1, key);
    bindText(contact, 2, customer.contact);
    bindText(contact, 3, customer.phone);
    return runStatement(contact);
}

} // namespace

bool insertRaw(const QString& databasePath, const std::vector<StoredCustomer>& customers, Commits commits,
               double& seconds, double& cpuSeconds, qint64& writtenBytes, QString& error)
{
    EngineSettings settings;
    if (!ourEngineSettings(databasePath, settings, error))
        return false;
    const char* synchronous = synchronousPragma(settings.synchronous);
    if (!synchronous) {
        error = QStringLiteral("unknown synchronous setting %1").arg(settings.synchronous);
        return false;
    }

    RawConnection c;
    if (sqlite3_open_v2(QFile::encodeName(databasePath).constData(), &c.db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK)
        return c.fail(error);
    sqlite3_extended_result_codes(c.db, 1);
    sqlite3_busy_timeout(c.db, db::Database::BusyTimeoutMs);
    if (sqlite3_exec(c.db, "PRAGMA journal_mode = WAL", nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_exec(c.db, synchronous, nullptr, nullptr, nullptr) != SQLITE_OK)
        return c.fail(error);
    // The page cache and the checkpoint size as our connections have them. A pragma takes no
    // bound value; the size is a whole number read back from the engine, written as digits.
    const QByteArray cache = "PRAGMA cache_size = " + QByteArray::number(settings.cacheSize);
    if (sqlite3_exec(c.db, cache.constData(), nullptr, nullptr, nullptr) != SQLITE_OK ||
        sqlite3_wal_autocheckpoint(c.db, int(settings.walAutoCheckpoint)) != SQLITE_OK)
        return c.fail(error);
    for (std::size_t i = 0; i < rawSql.size(); ++i) {
        if (sqlite3_prepare_v3(c.db, rawSql[i], -1, SQLITE_PREPARE_PERSISTENT, &c.statements[i], nullptr) !=
            SQLITE_OK)
            return c.fail(error);
    }
    sqlite3_stmt* begin = c.statements[4];
    sqlite3_stmt* commit = c.statements[5];

    QElapsedTimer timer;
    timer.start();
    const double cpuStart = ownCpuSeconds();
    const qint64 writtenStart = ownWrittenBytes();
    if (commits == Commits::OneTransaction) {
        if (!runStatement(begin))
            return c.fail(error);
        for (const StoredCustomer& customer : customers) {
            if (!insertOne(c, customer))
                return c.fail(error);
        }
        if (!runStatement(commit))
            return c.fail(error);
    } else {
        for (const StoredCustomer& customer : customers) {
            if (!runStatement(begin) || !insertOne(c, customer) || !runStatement(commit))
                return c.fail(error);
        }
    }
    // The import's time includes closing its connection, so this one's does too.
    if (!c.close()) {
        error = QStringLiteral("the connection could not be closed");
        return false;
    }
    seconds = double(timer.nsecsElapsed()) / 1e9;
    cpuSeconds = ownCpuSeconds() - cpuStart;
    writtenBytes = ownWrittenBytes() - writtenStart;
    return true;
}

} // namespace brevik::bench
