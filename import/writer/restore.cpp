#include "restore.h"

#include "import/engine/database.h"
#include "import/engine/onlinecopy.h"
#include "import/paths.h"
#include "import/writer/backup.h"
#include "import/writer/schema.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>

namespace brevik::db {
namespace {

using detail::Access;
using detail::Connection;
using detail::ResultDone;
using detail::ResultOk;

// How long a restore waits for a transient lock; a program that keeps the database open holds
// its lock for good, and the restore is refused.
constexpr int OpenWaitMs = 2000;
constexpr qsizetype MaxFindingLength = 200;

const QStringList JournalSuffixes{QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")};

QString canonical(const QString& path)
{
    const QFileInfo info(path);
    const QString found = info.canonicalFilePath();
    return found.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : found;
}

// Why the file is not one of the backups that lie beside the database; empty when it is. Asked
// of its name and place alone.
QString notListedProblem(const QString& databasePath, const QString& backupPath)
{
    const QString backup = displayPath(backupPath);
    if (!QFileInfo(backupPath).isFile())
        return QStringLiteral("The backup %1 does not exist.").arg(backup);
    const QString chosen = canonical(backupPath);
    const QString database = canonical(databasePath);
    if (chosen == database || std::any_of(JournalSuffixes.begin(), JournalSuffixes.end(),
                                          [&](const QString& suffix) { return chosen == database + suffix; }))
        return QStringLiteral("%1 is the Orvella database itself, not one of its backups.").arg(backup);
    const QStringList backups = backupsOf(databasePath);
    if (std::none_of(backups.begin(), backups.end(),
                     [&](const QString& b) { return canonical(b) == chosen; }))
        return QStringLiteral("%1 is not a backup of the Orvella database %2: its backups lie beside it and "
                              "are named %3 (brevik-import backups lists them).")
            .arg(backup, displayPath(databasePath), backupNamePattern(databasePath));
    return {};
}

// Why the file cannot be restored as a backup of the database; empty when it can.
QString backupProblem(const QString& databasePath, const QString& backupPath)
{
    if (QString problem = notListedProblem(databasePath, backupPath); !problem.isEmpty())
        return problem;
    const QString backup = displayPath(backupPath);
    if (inspectFile(backupPath) != FileKind::SQLite)
        return QStringLiteral("%1 is not a database, so it is no backup of the Orvella database.")
            .arg(backup);

    Connection connection;
    QString finding;
    int rc = connection.openImmutable(backupPath);
    if (rc == ResultOk)
        rc = connection.queryText("PRAGMA integrity_check", finding);
    if (rc != ResultOk || finding != u"ok") {
        const QString reason =
            rc != ResultOk ? detail::reasonFor(rc, connection) : finding.simplified().left(MaxFindingLength);
        if (rc == ResultOk || detail::isDamage(rc))
            return QStringLiteral("The backup %1 is damaged (%2).").arg(backup, clause(reason));
        return QStringLiteral("The backup %1 cannot be read: %2.").arg(backup, clause(reason));
    }
    for (const TableFields& table : customerTables()) {
        QStringList fields;
        if (rc = connection.tableFields(table.table, fields); rc != ResultOk)
            return QStringLiteral("The backup %1 cannot be read: %2.")
                .arg(backup, detail::reasonFor(rc, connection));
        if (fields.isEmpty())
            return QStringLiteral(
                       "The backup %1 holds no table %2, so it is no backup of the Orvella database.")
                .arg(backup, table.table);
        for (const QLatin1StringView field : table.fields) {
            if (!fields.contains(field, Qt::CaseInsensitive))
                return QStringLiteral(
                           "The table %2 of the backup %1 has no field %3, so it is no backup of the "
                           "Orvella database.")
                    .arg(backup, table.table, field);
        }
    }
    return {};
}

Restore refused(const QString& why)
{
    Restore result;
    result.message = why + QStringLiteral(" Nothing was changed.");
    return result;
}

// Takes the database for this connection alone. In exclusive locking mode the first read takes
// an exclusive lock on the file, which another connection prevents as long as it has the
// database open: a connection of a write-ahead database keeps a shared lock from its first read
// until it closes. The write-ahead index is then kept in this connection's memory, not in the
// "-shm" file.
int takeAlone(Connection& live)
{
    int rc = live.exec("PRAGMA locking_mode = EXCLUSIVE");
    if (rc == ResultOk)
        rc = live.exec("BEGIN EXCLUSIVE");
    if (rc == ResultOk)
        rc = live.exec("COMMIT");
    return rc;
}

// A backup as the list of backups shows it, read without a lock and without a journal file
// made beside it.
BackupFacts factsOf(const QString& databasePath, const QString& path, const QDateTime& now)
{
    BackupFacts facts;
    facts.path = path;
    facts.made = backupTime(databasePath, path);
    facts.future = facts.made.isValid() && facts.made > now;
    facts.bytes = QFileInfo(path).size();
    if (inspectFile(path) != FileKind::SQLite) {
        facts.problem = QStringLiteral("not a database");
        return facts;
    }
    Connection connection;
    QString count;
    int rc = connection.openImmutable(path);
    if (rc == ResultOk)
        rc = connection.queryText("SELECT count(*) FROM CLIENT", count);
    if (rc == ResultOk)
        facts.clients = count.toLongLong();
    else
        facts.problem = detail::reasonFor(rc, connection);
    return facts;
}

} // namespace

QList<BackupFacts> describeBackups(const QString& databasePath, const QDateTime& now)
{
    QList<BackupFacts> list;
    for (const QString& path : backupsOf(databasePath))
        list.append(factsOf(databasePath, path, now));
    return list;
}

RestoreChoice describeRestore(const QString& databasePath, const QString& backupPath, const QDateTime& now)
{
    RestoreChoice choice;
    choice.refusal = notListedProblem(databasePath, backupPath);
    if (!choice.refusal.isEmpty())
        return choice;
    choice.backup = factsOf(databasePath, backupPath, now);
    choice.databaseExists = inspectFile(databasePath) != FileKind::Missing;
    if (!choice.databaseExists)
        return choice;
    // Judged before the engine touches it, as every run judges it.
    if (const Status s = checkOpenable(databasePath); !s) {
        choice.databaseProblem = s.description();
        return choice;
    }
    Connection connection;
    QString count;
    // Opened for writing although only read, so that closing it tidies away the journal files
    // that reading a write-ahead database makes; nothing is written through it.
    int rc = connection.open(databasePath, Access::ReadWrite);
    if (rc == ResultOk)
        rc = connection.exec("PRAGMA query_only = 1");
    if (rc == ResultOk)
        rc = connection.queryText("SELECT count(*) FROM CLIENT", count);
    if (rc == ResultOk)
        choice.databaseClients = count.toLongLong();
    else
        choice.databaseProblem = detail::reasonFor(rc, connection);
    return choice;
}

Restore restoreBackup(const QString& databasePath, const QString& backupPath, const QDateTime& now)
{
    if (const QString problem = backupProblem(databasePath, backupPath); !problem.isEmpty())
        return refused(problem);
    const QString database = displayPath(databasePath);

    // A database that is missing is made anew, but never beside journal files of an earlier one:
    // the engine would replay them onto the restored pages.
    const bool creating = inspectFile(databasePath) == FileKind::Missing;
    if (creating) {
        for (const QString& suffix : JournalSuffixes) {
            if (const QFileInfo journal(databasePath + suffix); journal.exists() || journal.isSymLink())
                return refused(
                    QStringLiteral("The Orvella database %1 is missing, but its journal file %2 is "
                                   "still there. Move it aside with the database it belongs to, then "
                                   "restore again.")
                        .arg(database, displayPath(databasePath + suffix)));
        }
    } else if (const Status s = checkOpenable(databasePath); !s) {
        return refused(
            QStringLiteral("The Orvella database %1 cannot be opened: %2").arg(database, s.description()));
    }

    Restore result;
    Backup safety;
    int keep = BackupsKept;
    {
        Connection live;
        int rc = live.open(databasePath, creating ? Access::Create : Access::ReadWrite);
        live.setBusyTimeout(OpenWaitMs);
        if (rc == ResultOk)
            rc = takeAlone(live);
        if (rc != ResultOk) {
            const QString reason = detail::reasonFor(rc, live);
            live.close();
            if (creating)
                QFile::remove(databasePath);
            if (detail::isBusy(rc))
                return refused(QStringLiteral("The Orvella database %1 is open in another program. Close the "
                                              "Orvella invoicing system, Brevik and every other program that "
                                              "uses it, then restore again.")
                                   .arg(database));
            if (detail::isDamage(rc))
                return refused(
                    QStringLiteral("The Orvella database %1 is damaged (%2), so it cannot be copied "
                                   "before it is replaced. Move it aside with its journal files; a "
                                   "restore into a data folder without zrdata.mdb makes it anew.")
                        .arg(database, clause(reason)));
            return refused(QStringLiteral("The Orvella database %1 cannot be opened: %2.")
                               .arg(database, clause(reason)));
        }

        if (!creating) {
            // The backup being restored must outlive the copy's removal of older backups.
            const QStringList backups = backupsOf(databasePath);
            const auto at = std::find_if(backups.begin(), backups.end(), [&](const QString& b) {
                return canonical(b) == canonical(backupPath);
            });
            keep = std::max(BackupsKept, int(at - backups.begin()) + 2);
            safety = detail::backUpFrom(live, databasePath, now);
            if (safety.failed()) {
                if (safety.cause == Backup::Cause::Damaged)
                    return refused(
                        QStringLiteral("The Orvella database %1 is damaged (%2), so it cannot be "
                                       "copied before it is replaced. Move it aside with its journal "
                                       "files; a restore into a data folder without zrdata.mdb "
                                       "makes it anew.")
                            .arg(database, clause(safety.reason)));
                return refused(QStringLiteral("Before a restore the Orvella database %1 is copied to %2, and "
                                              "that copy could not be made: %3.")
                                   .arg(database, displayPath(safety.path), clause(safety.reason)));
            }
            result.safetyCopy = safety.path;
        }

        Connection backup;
        rc = backup.openImmutable(backupPath);
        if (rc == ResultOk)
            rc = detail::copyPages(backup, live);
        if (rc != ResultDone) {
            const QString reason = detail::reasonFor(rc, rc == ResultOk ? live : backup);
            live.close();
            if (creating)
                QFile::remove(databasePath);
            QString message =
                QStringLiteral("The backup %1 could not be put in the place of the Orvella database "
                               "%2: %3. The database was left as it was.")
                    .arg(displayPath(backupPath), database, clause(reason));
            if (!result.safetyCopy.isEmpty())
                message +=
                    QStringLiteral(" A copy of it was made in %1.").arg(displayPath(result.safetyCopy));
            result.message = message;
            return result;
        }
        // No connection but this one can be using the index of the journal now: a "-shm" file
        // beside the database was left by a program that was stopped, and would only mislead.
        QFile::remove(databasePath + QStringLiteral("-shm"));
        // Closing the last connection copies the journal into the database and removes it.
    }

    // Only now has the restore written, and only now may its copy push out an older backup. A
    // restore that failed keeps its copy, which its message names, and removes no other.
    settleBackup(safety, databasePath, true, keep);
    result.restored = true;
    result.message = QStringLiteral("The Orvella database %1 now holds the rows of the backup %2.")
                         .arg(database, displayPath(backupPath));
    if (!result.safetyCopy.isEmpty())
        result.message += QStringLiteral(" The database as it was before is kept in %1.")
                              .arg(displayPath(result.safetyCopy));
    return result;
}

} // namespace brevik::db
