#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

namespace brevik::db {

// A backup of the database, as the list of backups shows it.
struct BackupFacts
{
    QString path;
    QDateTime made; // as its name gives it, local time
    qint64 bytes = 0;
    std::optional<qint64> clients; // the rows of CLIENT, where the file can be read as a database
    QString problem;               // otherwise why not, in words
    // Its name gives a time after now: a clock that was once ahead, or a copy from another
    // machine. Such a backup is never counted among those kept, nor removed.
    bool future = false;
};

// The backups of the database beside it, newest first. Each is read without a lock, and
// without a journal file made beside it.
[[nodiscard]] QList<BackupFacts> describeBackups(const QString& databasePath,
                                                 const QDateTime& now = QDateTime::currentDateTime());

// What a restore of the backup would put in the place of what, for the operator to weigh
// before it: the backup as the list of backups shows it, and the clients the database holds
// now. A restore checks that the backup is sound and holds the customer tables, not that it
// was copied from this database; the numbers of clients are what tells them apart.
struct RestoreChoice
{
    QString refusal; // why the file is not one of the database's backups; nothing else is then known
    BackupFacts backup;
    bool databaseExists = false;
    std::optional<qint64> databaseClients; // the rows of CLIENT of the database as it stands
    QString databaseProblem;               // why they cannot be counted, in words
};
[[nodiscard]] RestoreChoice describeRestore(const QString& databasePath, const QString& backupPath,
                                            const QDateTime& now = QDateTime::currentDateTime());

// What a restore did, or why it did nothing.
struct Restore
{
    bool restored = false;
    QString message;    // for the operator, naming the files
    QString safetyCopy; // the copy of the database as it was before, where one was made
};

// Puts a backup of the database back in its place. The backup must be one that backupsOf
// lists, a sound SQLite file (PRAGMA integrity_check) holding the customer tables; anything
// else is refused before the database is touched. The database is then opened in SQLite's
// exclusive locking mode, which it gets only while no other connection has it open (an idle
// connection of a write-ahead database keeps a shared lock on it); otherwise the restore is
// refused. Holding that lock, it backs up the database as every run that writes does, copies
// the backup's pages into it through SQLite's online backup in one transaction, and leaves no
// journal file of the database behind. A missing database is made anew from the backup, unless
// its journal files are still there. The backup itself is left as it is.
[[nodiscard]] Restore restoreBackup(const QString& databasePath, const QString& backupPath,
                                    const QDateTime& now = QDateTime::currentDateTime());

} // namespace brevik::db
