#include "database.h"

#include "lockwait.h"
#include "sqliteerror.h"
#include "tableinfo.h"

#include <sqlite3.h>

#include <QFile>

#include <utility>

namespace brevik::db {
namespace {

// Waits for another program's lock up to the busy timeout, asking again every millisecond.
// SQLite's own wait asks less and less often, up to every 100 ms, and so rarely meets the
// moment between two transactions of a program that writes often: the import would then stop
// although the lock came free many times.
int busyHandler(void*, int attempts)
{
    return db::waitForLock(attempts, Database::BusyTimeoutMs) ? 1 : 0;
}

} // namespace

static QByteArray encodedPath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toUtf8(); // SQLite's Windows layer takes UTF-8 names
#else
    return QFile::encodeName(path);
#endif
}

// The engine keeps no memory statistics, which this program never reads: counting takes a
// process-wide lock on every allocation. It can be set only before the engine starts; if
// another part of the process started it first, the engine keeps counting, which is harmless.
void configureEngine()
{
    static const bool configured = [] {
        if (sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) != SQLITE_OK)
            return false;
        return sqlite3_initialize() == SQLITE_OK;
    }();
    (void)configured;
}

static Status prepareStatement(sqlite3* db, const QString& sql, unsigned flags, Statement& out)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    // The length includes the terminating NUL, which lets SQLite skip a copy.
    const int rc = sqlite3_prepare_v3(db, utf8.constData(), int(utf8.size() + 1), flags, &stmt, &tail);
    if (rc != SQLITE_OK)
        return sqliteFailure(db, rc);
    Statement statement(db, stmt);
    if (!stmt)
        return Status::failure(ErrEngine,
                               QStringLiteral("The database engine was given no statement to run."));
    while (tail && *tail != '\0' &&
           (*tail == ' ' || *tail == '\n' || *tail == '\r' || *tail == '\t' || *tail == ';'))
        ++tail;
    if (tail && *tail != '\0')
        return Status::failure(ErrEngine,
                               QStringLiteral("The database engine was given more than one statement."));
    out = std::move(statement);
    return {};
}

Database::Database(QString path, sqlite3* handle)
    : m_path(std::move(path))
    , m_db(handle)
{}

Database::~Database()
{
    m_tables.clear();
    m_cache.clear(); // finalizes every statement before the connection closes
    sqlite3_close_v2(m_db);
}

Status Database::open(const QString& path, Mode mode, std::unique_ptr<Database>& out)
{
    out.reset();
    const bool readOnly = mode == Mode::ReadOnly;
    // A file opened for reading alone need not be writable, but must be a database already.
    if (readOnly && inspectFile(path) != FileKind::SQLite) {
        if (Status s = checkBeforeOpen(path, true); !s)
            return s;
    } else if (!readOnly) {
        if (Status s = checkBeforeOpen(path, mode == Mode::OpenExisting); !s)
            return s;
    }

    configureEngine();
    // Each connection is used by one thread only, so SQLite's lock around every call is not needed.
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (mode == Mode::Create)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* handle = nullptr;
    const int rc = sqlite3_open_v2(encodedPath(path).constData(), &handle, flags, nullptr);
    std::unique_ptr<Database> db(new Database(path, handle)); // closes the handle on every return
    if (rc != SQLITE_OK)
        return db->lastFailure(rc);
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_handler(handle, &busyHandler, nullptr);
    if (Status s = db->checkFile(!readOnly); !s)
        return s;
    if (readOnly) {
        out = std::move(db);
        return {};
    }
    // Only a sound, writable SQLite file gets here; switching the journal is the first write.
    if (Status s = db->exec(QStringLiteral("PRAGMA journal_mode = WAL")); !s)
        return s;
    // A page cache of up to 64 MiB instead of the engine's 2 MiB: it holds the customer tables
    // and their indexes of a long customer list, so that the writer's look-ups and inserts find
    // their pages in memory rather than reading them from the file again for every customer.
    if (Status s = db->exec(QStringLiteral("PRAGMA cache_size = -65536")); !s)
        return s;
    // The journal is copied back into the file once it holds about 40 MB rather than the
    // engine's 4 MB: an import commits every half second, and a page that every commit
    // changes (the name indexes change all over) is then copied back once, not every time.
    if (Status s = db->exec(QStringLiteral("PRAGMA wal_autocheckpoint = 10000")); !s)
        return s;
    out = std::move(db);
    return {};
}

Status Database::checkFile(bool mustBeWritable)
{
    // Reading the schema reads the first page and checks the file's size against its header,
    // so a damaged or truncated file is refused here rather than halfway through an import.
    qint64 version = 0;
    if (Status s = queryInt64(QStringLiteral("PRAGMA schema_version"), version); !s)
        return s;
    // SQLite falls back to reading alone when the file is write-protected.
    if (mustBeWritable && sqlite3_db_readonly(m_db, "main") == 1)
        return Status::failure(ErrCannotOpen, QStringLiteral("The file is read-only."));
    return {};
}

Status Database::exec(const QString& sql)
{
    m_schemaCurrent = false;
    forgetRows();
    char* message = nullptr;
    const int rc = sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, &message);
    sqlite3_free(message); // the same text stays available from sqlite3_errmsg
    return rc == SQLITE_OK ? Status() : sqliteFailure(m_db, rc);
}

Status Database::prepare(const QString& sql, Statement& out)
{
    m_schemaCurrent = false;
    forgetRows();
    return prepareStatement(m_db, sql, 0, out);
}

Status Database::cached(const QString& sql, Statement*& out)
{
    m_schemaCurrent = false;
    forgetRows();
    return cachedStatement(sql, out);
}

Status Database::cachedStatement(const QString& sql, Statement*& out)
{
    out = nullptr;
    Statement* statement = nullptr;
    if (const auto it = m_cache.constFind(sql); it != m_cache.cend()) {
        statement = it.value().get();
    } else {
        Statement prepared;
        if (Status s = prepareStatement(m_db, sql, SQLITE_PREPARE_PERSISTENT, prepared); !s)
            return s;
        auto owned = std::make_shared<Statement>(std::move(prepared));
        statement = owned.get();
        m_cache.insert(sql, std::move(owned));
    }
    statement->reset();
    statement->clearBindings();
    out = statement;
    return {};
}

Status Database::queryInt64(const QString& sql, qint64& value)
{
    Statement* statement = nullptr;
    if (Status s = cachedStatement(sql, statement); !s)
        return s;
    bool hasRow = false;
    Status s = statement->step(hasRow);
    if (s && !hasRow)
        s = Status::failure(ErrEngine, QStringLiteral("The database engine gave no answer to %1.").arg(sql));
    if (s)
        value = statement->columnInt64(0);
    statement->reset();
    return s;
}

Status Database::begin()
{
    m_schemaCurrent = false;
    forgetRows();
    Statement* statement = nullptr;
    if (Status s = cachedStatement(QStringLiteral("BEGIN IMMEDIATE"), statement); !s)
        return s;
    return statement->run();
}

Status Database::commit()
{
    m_schemaCurrent = false;
    forgetRows();
    Statement* statement = nullptr;
    if (Status s = cachedStatement(QStringLiteral("COMMIT"), statement); !s)
        return s;
    return statement->run();
}

void Database::rollback()
{
    m_schemaCurrent = false;
    forgetRows();
    if (inTransaction())
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

bool Database::inTransaction() const
{
    return sqlite3_get_autocommit(m_db) == 0;
}

Status Database::dataVersion(qint64& version)
{
    return queryInt64(QStringLiteral("PRAGMA data_version"), version);
}

Status Database::findTable(const QString& table, bool& exists)
{
    exists = false;
    Statement* statement = nullptr;
    // Table names are matched without regard to case, as SQLite matches them.
    if (Status s = cachedStatement(
            QStringLiteral("SELECT 1 FROM main.sqlite_master WHERE type = 'table' AND name = ?1 "
                           "COLLATE NOCASE"),
            statement);
        !s)
        return s;
    Status s = statement->bindText(1, table);
    if (s)
        s = statement->step(exists);
    statement->reset();
    return s;
}

bool Database::tableExists(const QString& table)
{
    bool exists = false;
    return findTable(table, exists).ok() && exists;
}

Status Database::table(const QString& name, std::shared_ptr<TableInfo>& out)
{
    out.reset();
    if (!m_schemaCurrent || !inTransaction()) {
        qint64 version = 0;
        if (Status s = queryInt64(QStringLiteral("PRAGMA schema_version"), version); !s)
            return s;
        if (version != m_schemaVersion) {
            m_tables.clear();
            m_schemaVersion = version;
        }
        m_schemaCurrent = inTransaction();
    }
    if (const auto it = m_tables.find(name); it != m_tables.end()) {
        out = it->second;
        return {};
    }

    if (Status s = readTable(name, out); !s)
        return s;
    m_tables.emplace(name, out);
    return {};
}

// Reads a table's fields, and the facts that let recordsets keep what they know of its rows:
// which field, if any, is the rowid itself (a field declared INTEGER PRIMARY KEY), whether any
// unique index could make a write replace, and so remove, another row, and whether triggers
// watch its writes.
Status Database::readTable(const QString& name, std::shared_ptr<TableInfo>& out)
{
    bool exists = false;
    if (Status s = findTable(name, exists); !s)
        return s;
    if (!exists)
        return Status::failure(ErrTableNotFound, QStringLiteral("The database has no table %1.").arg(name));

    Statement* statement = nullptr;
    if (Status s = cachedStatement(QStringLiteral("SELECT name, upper(type), pk FROM pragma_table_info(?1)"),
                                   statement);
        !s)
        return s;
    QStringList names;
    int keyFields = 0;
    int integerKey = -1;
    Status s = statement->bindText(1, name);
    for (bool hasRow = s.ok(); s && hasRow;) {
        s = statement->step(hasRow);
        if (s && hasRow) {
            if (statement->columnInt64(2) > 0) {
                ++keyFields;
                if (statement->column(1).toString() == u"INTEGER")
                    integerKey = int(names.size());
            }
            names.append(statement->column(0).toString());
        }
    }
    statement->reset();
    if (!s)
        return s;

    // A primary key that is not the rowid, and every UNIQUE constraint, has an index of its own.
    if (s = cachedStatement(QStringLiteral("SELECT count(*) FROM pragma_index_list(?1) WHERE \"unique\""),
                            statement);
        !s)
        return s;
    bool hasRow = false;
    s = statement->bindText(1, name);
    if (s)
        s = statement->step(hasRow);
    const bool uniqueIndexes = !s || !hasRow || statement->columnInt64(0) > 0;
    statement->reset();
    if (!s)
        return s;

    if (s = cachedStatement(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type = 'trigger' "
                                           "AND tbl_name = ?1 COLLATE NOCASE"),
                            statement);
        !s)
        return s;
    s = statement->bindText(1, name);
    if (s)
        s = statement->step(hasRow);
    const bool triggers = !s || !hasRow || statement->columnInt64(0) > 0;
    statement->reset();
    if (!s)
        return s;

    out = std::make_shared<TableInfo>(name, std::move(names));
    out->setRowFacts(keyFields == 1 && !uniqueIndexes ? integerKey : -1, !uniqueIndexes, triggers);
    return {};
}

Status Database::columns(const QString& table, QStringList& names)
{
    names.clear();
    std::shared_ptr<TableInfo> info;
    if (Status s = this->table(table, info); !s)
        return s;
    names = info->columns();
    return {};
}

qint64 Database::lastInsertRowid() const
{
    return sqlite3_last_insert_rowid(m_db);
}

qint64 Database::changes() const
{
    return sqlite3_changes64(m_db);
}

qint64 Database::changeCount() const
{
    return sqlite3_total_changes64(m_db);
}

quint64 Database::rowsEpoch()
{
    if (!inTransaction())
        return 0;
    if (const qint64 changes = changeCount(); changes != m_accountedChanges) {
        m_accountedChanges = changes;
        forgetRows();
    }
    return m_rowsEpoch;
}

void Database::acceptOwnChanges()
{
    m_accountedChanges = changeCount();
}

Status Database::lastFailure(int sqliteCode) const
{
    return sqliteFailure(m_db, sqliteCode);
}

Transaction::~Transaction()
{
    if (m_open)
        m_db.rollback();
}

Status Transaction::begin()
{
    if (m_open)
        return {};
    Status s = m_db.begin();
    m_open = s.ok();
    return s;
}

Status Transaction::commit()
{
    if (!m_open)
        return {};
    Status s = m_db.commit();
    if (s)
        m_open = false;
    return s;
}

} // namespace brevik::db
