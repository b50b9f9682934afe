#pragma once

#include "statement.h"
#include "status.h"

#include <QHash>
#include <QString>

#include <memory>

struct sqlite3;

namespace brevik::db {

// What a file on disk holds, judged from its first bytes before the engine touches it.
enum class FileKind
{
    Missing,      // no file at the path
    Empty,        // a file of no bytes
    SQLite,       // an SQLite 3 database
    Access,       // a Microsoft Access (Jet or ACE) database
    Unrecognised, // anything else
};
[[nodiscard]] FileKind inspectFile(const QString& path);

// One open SQLite connection. The destructor closes it; no copies. The database is opened
// shared: a write-ahead journal and a busy timeout, so the invoicing system can have it open
// at the same time.
class Database
{
public:
    enum class Mode
    {
        OpenExisting,
        Create
    };

    // Opens the file. OpenExisting refuses a missing file, a file that is not an SQLite
    // database (an Access file is named as such) and a damaged one, and never writes to it.
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

    // Changes whenever another connection has committed to the file since the last call.
    [[nodiscard]] Status dataVersion(qint64& version);
    [[nodiscard]] bool tableExists(const QString& table);
    [[nodiscard]] Status columns(const QString& table, QStringList& names);

    // The status for the connection's last failure, with its error number and description.
    [[nodiscard]] Status lastFailure(int sqliteCode) const;

    // Milliseconds a write waits for another program's lock before it fails.
    static constexpr int BusyTimeoutMs = 5000;

private:
    Database(QString path, sqlite3* handle);

    QString m_path;
    sqlite3* m_db = nullptr;
    QHash<QString, std::shared_ptr<Statement>> m_cache;
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
