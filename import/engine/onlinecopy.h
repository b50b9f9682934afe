#pragma once

#include "backup.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

struct sqlite3;

// What the copies of a database share: the copy made before a run writes, the private copy a
// plan works on and a restore. For the engine's own files only.
namespace brevik::db::detail {

// How long a copy waits for a lock that another program holds, as the writer does.
inline constexpr int LockWaitMs = 5000;

// The file name as SQLite's open takes it.
[[nodiscard]] QByteArray encodedPath(const QString& path);

// One plain connection, closed when it goes; its calls give SQLite's result codes.
class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection();

    // Opens the file with SQLite's open flags, waiting up to LockWaitMs for another program's
    // lock on every later call.
    int open(const QString& path, int flags);
    // Opens a file that no program changes (a backup) for reading alone, through the engine's
    // immutable mode: no lock is taken and no journal file is made beside it.
    int openImmutable(const QString& path);
    void close();
    void setBusyTimeout(int milliseconds);

    [[nodiscard]] sqlite3* handle() const { return m_handle; }
    [[nodiscard]] QString errorMessage() const;
    int exec(const char* sql);
    // The first value of the first row of a query, as text.
    int queryText(const char* sql, QString& value);

private:
    sqlite3* m_handle = nullptr;
};

// Copies every page of the source into the target in one step, waiting a while for a lock
// that another program holds. SQLITE_DONE when the whole database was copied.
[[nodiscard]] int copyPages(const Connection& source, const Connection& target);

// The SQLite result in the operator's words, with the connection's own message where it helps.
[[nodiscard]] QString reasonFor(int rc, const Connection& connection);
// The file is damaged, or no SQLite database at all.
[[nodiscard]] bool isDamage(int rc);
// A lock another program holds.
[[nodiscard]] bool isBusy(int rc);

// Copies the database through the given connection, which has it open, as backUpDatabase does;
// a restore copies the database it is about to replace through its own locked connection.
[[nodiscard]] Backup backUpFrom(Connection& source, const QString& databasePath, const QDateTime& now,
                                int keep);

} // namespace brevik::db::detail
