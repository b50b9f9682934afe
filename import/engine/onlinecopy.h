#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>

#include <optional>

struct sqlite3;

// Copies of a whole database through SQLite's online backup, over a plain connection of their
// own: the copy made before a run writes, the private copy a plan works on and a restore are
// made through these.
namespace brevik::db::detail {

// How long a copy waits for a lock that another program holds, as the writer does.
inline constexpr int LockWaitMs = 5000;

// SQLite's result codes as the calls below give them: the call succeeded, and a copy finished.
inline constexpr int ResultOk = 0;
inline constexpr int ResultDone = 101;

// How a plain connection opens its file.
enum class Access
{
    ReadOnly,  // for reading alone
    ReadWrite, // for writing; a missing file is refused
    Create,    // for writing; a missing file is made
};

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

    // Opens the file, waiting up to LockWaitMs for another program's lock on every later call.
    int open(const QString& path, Access access);
    // Opens a file that no program changes (a backup) for reading alone, through the engine's
    // immutable mode: no lock is taken and no journal file is made beside it.
    int openImmutable(const QString& path);
    // Opens a write-ahead database that other programs may have open for reading alone, through
    // the journal files beside it as they stand: the engine neither makes nor writes one.
    int openReadingJournals(const QString& path);
    void close();
    void setBusyTimeout(int milliseconds);

    [[nodiscard]] sqlite3* handle() const { return m_handle; }
    [[nodiscard]] QString errorMessage() const;
    int exec(const char* sql);
    // The first value of the first row of a query, as text.
    int queryText(const char* sql, QString& value);
    // The fields of a table in their order; none when there is no such table.
    int tableFields(QLatin1StringView table, QStringList& fields);

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

// Why a copy could not be made: the database itself is damaged, or the folder, the disk or the
// file refused the copy; the reason in words.
struct CopyFailure
{
    bool damaged = false;
    QString reason;
};

// Copies every page of the source into a new database file at target, then checks the copy
// (PRAGMA quick_check). Nothing when the copy is sound.
[[nodiscard]] std::optional<CopyFailure> copyChecked(const Connection& source, const QString& target);

} // namespace brevik::db::detail
