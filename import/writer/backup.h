#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace brevik::db {

// What became of the copy of the database made before a run writes to it.
struct Backup
{
    enum class Outcome
    {
        Made,         // the copy stands at path
        NotAttempted, // no SQLite database this run can write is at the path; opening it says why
        Failed,       // no copy could be made: the run must not write
    };
    enum class Cause
    {
        CannotCopy, // the folder, the disk or the file refused the copy
        Damaged,    // the database itself is damaged
        Locked,     // another program kept the database locked against writing (copyForPlan only)
    };
    Outcome outcome = Outcome::NotAttempted;
    Cause cause = Cause::CannotCopy;
    QString path;   // the copy made, or the one that could not be made
    QString reason; // why it failed, in words
    QDateTime made; // the run's own time, which names the copy

    [[nodiscard]] bool failed() const { return outcome == Outcome::Failed; }
    // The message for the operator when the copy failed, naming the database and the reason.
    [[nodiscard]] QString message(const QString& databasePath) const;
};

inline constexpr int BackupsKept = 5;

// Copies the database beside itself through SQLite's online backup, so a program that has it
// open may go on using it, to "zrdata-YYYYMMDD-HHMMSS.mdb.bak" for "zrdata.mdb" (local time;
// a second copy within the same second gets "-2" after the time, and so on). The copy is
// checked before it counts. No other backup is touched until the run settles its copy (see
// settleBackup). A copy that fails half way leaves no file of that pattern behind.
[[nodiscard]] Backup backUpDatabase(const QString& databasePath,
                                    const QDateTime& now = QDateTime::currentDateTime());

// Settles the copy made before a run, once the run is over. A run that wrote keeps its copy
// and removes the older backups beyond the newest `keep`, its own copy among them; a backup
// named for a time after the run's own (a clock that was once ahead, a copy from another
// machine) is neither counted nor removed. A run that wrote nothing removes its own copy and
// no other. A copy that was not made leaves nothing to settle.
void settleBackup(const Backup& backup, const QString& databasePath, bool runWrote, int keep = BackupsKept);

// The backups of a database that stand beside it, newest first.
[[nodiscard]] QStringList backupsOf(const QString& databasePath);
// How the backups of the database are named, for messages: "zrdata-YYYYMMDD-HHMMSS.mdb.bak".
[[nodiscard]] QString backupNamePattern(const QString& databasePath);
// When a backup of the database was made, as its name gives it (local time); an invalid time
// for a file whose name is not that of a backup of the database.
[[nodiscard]] QDateTime backupTime(const QString& databasePath, const QString& backupPath);

// A private copy of the database at copyPath, for a run that must not change the database but
// sees it as an import would: through SQLite's online backup, from a connection that cannot
// change a row. Where the user may write the database, its journal files and its folder, a
// second connection takes the write lock first, waiting for it as an import waits, so that a
// database that another program keeps locked is refused as an import refuses it
// (Cause::Locked); it writes nothing, and the journal files that reading a write-ahead database
// makes go when the connections close. Where the user may only read it, it is read alone,
// without a lock of its own and without making a file beside it. The copy is checked as a
// backup is. Outcome::NotAttempted when no SQLite database is at the path, or when the user may
// write it but not its journal files, which an import would refuse.
[[nodiscard]] Backup copyForPlan(const QString& databasePath, const QString& copyPath);

namespace detail {
class Connection;
// Copies the database through the given connection, which has it open, as backUpDatabase does;
// a restore copies the database it is about to replace through its own locked connection.
[[nodiscard]] Backup backUpFrom(Connection& source, const QString& databasePath, const QDateTime& now);
} // namespace detail

} // namespace brevik::db
