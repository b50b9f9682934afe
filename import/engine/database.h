#pragma once

#include "databasefile.h"
#include "statement.h"
#include "status.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>

struct sqlite3;

namespace brevik::db {

class TableInfo;

// Sets the engine's process-wide options (no memory statistics, which would take a lock around
// every allocation). They hold only when set before the first connection opens, so every
// connection calls this before it opens.
void configureEngine();

// One open SQLite connection. The destructor closes it; no copies. The database is opened
// shared: a write-ahead journal and a busy timeout, so the invoicing system can have it open
// at the same time. A connection, and everything opened through it, belongs to one thread.
class Database
{
public:
    enum class Mode
    {
        OpenExisting,
        Create,
        ReadOnly
    };

    // Opens the file. OpenExisting refuses a missing file, a file that is not an SQLite
    // database (an Access file is named as such), a damaged one and a read-only one, and never
    // writes to a file it refuses. Create also makes the file when it is missing or empty.
    // ReadOnly opens an existing database for reading alone, write-protected or not, and
    // writes nothing to it: the journal mode is left as the file has it.
    [[nodiscard]] static Status open(const QString& path, Mode mode, std::unique_ptr<Database>& out);

    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    ~Database();

    [[nodiscard]] const QString& path() const { return m_path; }

    // Runs SQL without parameters, for schema and pragmas.
    [[nodiscard]] Status exec(const QString& sql);
    // A statement prepared once and kept for the life of the connection; reset before return.
    [[nodiscard]] Status cached(const QString& sql, Statement*& out);
    [[nodiscard]] Status prepare(const QString& sql, Statement& out);

    [[nodiscard]] Status begin(); // BEGIN IMMEDIATE: takes the write lock, waiting up to the busy timeout
    [[nodiscard]] Status commit();
    void rollback();
    [[nodiscard]] bool inTransaction() const;
    // When set, a recordset stores no row outside a transaction: after the engine has ended a
    // transaction on a failure (a full disk, a trigger's ROLLBACK), every later Update fails
    // instead of committing on its own.
    void setWritesNeedTransaction(bool need) { m_writesNeedTransaction = need; }
    [[nodiscard]] bool writesNeedTransaction() const { return m_writesNeedTransaction; }

    // Changes whenever another connection has committed to the file since the last call.
    [[nodiscard]] Status dataVersion(qint64& version);
    [[nodiscard]] bool tableExists(const QString& table);
    // The field names of a table in their order; ErrTableNotFound when there is no such table.
    [[nodiscard]] Status columns(const QString& table, QStringList& names);
    // What the recordsets of a table share on this connection: its fields and its prepared
    // statements. Kept until the schema of the database changes.
    [[nodiscard]] Status table(const QString& name, std::shared_ptr<TableInfo>& out);

    // The rowid of the row most recently added through this connection.
    [[nodiscard]] qint64 lastInsertRowid() const;
    // Rows changed by the most recent INSERT, UPDATE or DELETE.
    [[nodiscard]] qint64 changes() const;
    // Grows with every row this connection adds, changes or deletes.
    [[nodiscard]] qint64 changeCount() const;

    // What the recordsets know of the rows (the last row of a table, that a row they found is
    // still there) holds while this number stays the same. It changes at every transaction
    // boundary, after any SQL run through exec, prepare or cached, and after any change to the
    // rows that a recordset has not accounted for. Outside a transaction, where another program
    // may write at any moment, it is 0, which never holds.
    [[nodiscard]] quint64 rowsEpoch();
    // The statement a recordset just ran changed exactly the rows that it accounts for itself.
    void acceptOwnChanges();

    // The status for the connection's last failure, with its error number and description.
    [[nodiscard]] Status lastFailure(int sqliteCode) const;

    // Milliseconds a write waits for another program's lock before it fails.
    static constexpr int BusyTimeoutMs = 5000;

private:
    Database(QString path, sqlite3* handle);

    [[nodiscard]] Status checkFile(bool mustBeWritable);
    [[nodiscard]] Status cachedStatement(const QString& sql, Statement*& out);
    [[nodiscard]] Status queryInt64(const QString& sql, qint64& value);
    [[nodiscard]] Status findTable(const QString& table, bool& exists);
    [[nodiscard]] Status readTable(const QString& name, std::shared_ptr<TableInfo>& out);
    void forgetRows() { ++m_rowsEpoch; }

    QString m_path;
    sqlite3* m_db = nullptr;
    QHash<QString, std::shared_ptr<Statement>> m_cache;
    qint64 m_schemaVersion = -1; // the schema the entries of m_tables were read from
    // Within a write transaction of ours no other program can change the schema, so it is read
    // once; any SQL a caller runs, and every transaction boundary, makes it be read again.
    bool m_schemaCurrent = false;
    std::map<QString, std::shared_ptr<TableInfo>> m_tables;
    quint64 m_rowsEpoch = 1;
    bool m_writesNeedTransaction = false;
    qint64 m_accountedChanges = 0; // the change count up to which every change is accounted for
};

// A write transaction that rolls back unless committed.
class Transaction
{
public:
    explicit Transaction(Database& db)
        : m_db(db)
    {}
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction();

    [[nodiscard]] Status begin();
    [[nodiscard]] Status commit();

private:
    Database& m_db;
    bool m_open = false;
};

} // namespace brevik::db
