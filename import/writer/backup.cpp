#include "backup.h"

#include "import/engine/database.h"
#include "import/engine/onlinecopy.h"
#include "import/paths.h"
#include "import/remedies.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>

namespace brevik::db {
namespace {

using detail::Access;
using detail::Connection;
using detail::isDamage;
using detail::reasonFor;
using detail::ResultOk;

// A copy left unfinished by a run that was stopped is removed by a later run once it is this old;
// a younger one may belong to a run still copying.
constexpr qint64 StalePartSeconds = 24 * 60 * 60;

// The run's time in a backup's name; so written, names sort as their times do.
constexpr QStringView StampFormat = u"yyyyMMdd-HHmmss";

// The parts of a backup's name: "zrdata" and ".mdb" for zrdata.mdb.
struct NameParts
{
    QString base;
    QString suffix;
};

NameParts namePartsOf(const QString& databasePath)
{
    const QFileInfo info(databasePath);
    const QString suffix = info.suffix();
    return {info.completeBaseName(), suffix.isEmpty() ? QString() : u'.' + suffix};
}

QString backupName(const NameParts& parts, const QString& stamp, int sequence)
{
    const QString counted = sequence > 1 ? QStringLiteral("-%1").arg(sequence) : QString();
    return parts.base + u'-' + stamp + counted + parts.suffix + QStringLiteral(".bak");
}

QRegularExpression backupPattern(const NameParts& parts)
{
    return QRegularExpression(u'^' + QRegularExpression::escape(parts.base) +
                              QStringLiteral("-(\\d{8}-\\d{6})(?:-(\\d+))?") +
                              QRegularExpression::escape(parts.suffix) + QStringLiteral("\\.bak$"));
}

// One backup found beside the database, ordered by the time and the counter in its name.
struct Found
{
    QString name;
    QString stamp;
    int sequence = 1;
};

bool newerFirst(const Found& a, const Found& b)
{
    if (a.stamp != b.stamp)
        return a.stamp > b.stamp;
    return a.sequence > b.sequence;
}

QList<Found> findBackups(const QDir& folder, const NameParts& parts)
{
    const QRegularExpression pattern = backupPattern(parts);
    QList<Found> found;
    const QStringList names =
        folder.entryList({parts.base + QStringLiteral("-*.bak")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (!match.hasMatch())
            continue;
        const QString counter = match.captured(2);
        found.append({name, match.captured(1), counter.isEmpty() ? 1 : counter.toInt()});
    }
    std::sort(found.begin(), found.end(), newerFirst);
    return found;
}

// Keeps the copy just made and the newest of the others, up to keep in all. The copy just made
// always stays, even when another copy of the same second comes after it. A copy named for a
// later time than the run's own is not counted and stays: were it counted, it would stay the
// newest for ever and each run would push out the backup before it.
void removeOlderBackups(const QDir& folder, const NameParts& parts, const QString& made,
                        const QString& madeStamp, int keep)
{
    int kept = 1;
    for (const Found& backup : findBackups(folder, parts)) {
        if (backup.name == made || backup.stamp > madeStamp)
            continue;
        if (kept < keep)
            ++kept;
        else
            QFile::remove(folder.filePath(backup.name));
    }
}

// Removes the unfinished copies of stopped runs, and the journal files that the engine kept
// beside them ("zrdata.mdb.1a2b3c4d.part-journal"), once they are old enough.
void removeStaleParts(const QDir& folder, const QString& databaseName)
{
    const QRegularExpression ours(u'^' + QRegularExpression::escape(databaseName) +
                                  QStringLiteral("\\.[0-9a-f]{8}\\.part(?:-journal|-wal|-shm)?$"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList parts =
        folder.entryInfoList({databaseName + QStringLiteral(".*.part*")}, QDir::Files | QDir::Hidden);
    for (const QFileInfo& part : parts) {
        if (ours.match(part.fileName()).hasMatch() &&
            part.lastModified().toUTC().secsTo(now) > StalePartSeconds)
            QFile::remove(part.filePath());
    }
}

// A copy under a name no other file has, removed unless it is kept.
class PartFile
{
public:
    explicit PartFile(const QString& databasePath)
        : m_base(databasePath)
    {}
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;
    ~PartFile()
    {
        if (!m_kept && !m_path.isEmpty())
            removeWithJournals(m_path);
    }

    [[nodiscard]] bool create(QString& error)
    {
        for (int attempt = 0; attempt < 16; ++attempt) {
            const quint32 tag = QRandomGenerator::global()->generate();
            QFile file(m_base + QStringLiteral(".%1.part").arg(tag, 8, 16, QLatin1Char('0')));
            if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
                m_path = file.fileName();
                return true;
            }
            error = file.errorString();
            if (!file.exists())
                return false;
        }
        return false;
    }
    [[nodiscard]] const QString& path() const { return m_path; }
    void keep() { m_kept = true; }

    static void removeWithJournals(const QString& path)
    {
        for (const QString& suffix :
             {QString(), QStringLiteral("-journal"), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(path + suffix);
    }

private:
    QString m_base;
    QString m_path;
    bool m_kept = false;
};

Backup failure(Backup::Cause cause, const QString& path, const QString& reason)
{
    Backup backup;
    backup.outcome = Backup::Outcome::Failed;
    backup.cause = cause;
    backup.path = path;
    backup.reason = reason;
    return backup;
}

// Copies the source into a new file and checks the copy. The copy is sound when the result is
// Outcome::Made.
Backup copyAndCheck(const Connection& source, const QString& target, const QString& named)
{
    if (const auto failed = detail::copyChecked(source, target))
        return failure(failed->damaged ? Backup::Cause::Damaged : Backup::Cause::CannotCopy, named,
                       failed->reason);
    Backup made;
    made.outcome = Backup::Outcome::Made;
    made.path = target;
    return made;
}

// Only a database the run can write is copied; one it cannot write would only gain journal
// files beside it. Opening it says why.
bool copyable(const QString& databasePath)
{
    return QFileInfo(databasePath).isFile() && inspectFile(databasePath) == FileKind::SQLite &&
           checkWritable(databasePath).ok();
}

// Whether a plan may open the database as an import does, for writing: the database, its
// journal files and its folder can all be written, so that the journal files the engine makes
// beside it are of use to every later run.
bool mayOpenForWriting(const QString& databasePath)
{
    return checkWritable(databasePath).ok() && mayWrite(QFileInfo(databasePath).absolutePath());
}

// The database keeps its changes in a write-ahead journal, as its header says.
bool isWriteAheadLog(const QString& databasePath)
{
    QFile file(databasePath);
    return file.open(QIODevice::ReadOnly) && file.seek(18) && file.read(2) == QByteArrayView("\x02\x02");
}

// Opens the database for reading alone, making no file beside it: a journal file that the
// engine made for a user who may not write the database would have that user as its owner and
// the database's mode, and would refuse the runs of those who may write it. A write-ahead
// database without its journal holds every committed change in the file itself and is read as
// it stands; one with it, which another program has open or left changes in, is read through
// the journal files as they are.
int openForReading(Connection& source, const QString& databasePath)
{
    if (!isWriteAheadLog(databasePath))
        return source.open(databasePath, Access::ReadOnly);
    if (!QFileInfo::exists(databasePath + QStringLiteral("-wal")))
        return source.openImmutable(databasePath);
    return source.openReadingJournals(databasePath);
}

} // namespace

QString Backup::message(const QString& databasePath) const
{
    switch (cause) {
    case Cause::CannotCopy:
        return QStringLiteral("Before an import the Orvella database %1 is copied to %2, and that copy could "
                              "not be made: %3. Nothing was imported.")
            .arg(displayPath(databasePath), displayPath(path), clause(reason));
    case Cause::Damaged:
        return withRemedy(
            QStringLiteral("The Orvella database %1 is damaged (%2). Nothing was imported. Put one "
                           "of its backups in its place, or have the database repaired.")
                .arg(displayPath(databasePath), clause(reason)),
            remedies().damage);
    case Cause::Locked:
        return QStringLiteral(
                   "The Orvella database %1 is locked by another program (%2). Nothing was imported.")
            .arg(displayPath(databasePath), clause(reason));
    }
    return reason;
}

Backup backUpDatabase(const QString& databasePath, const QDateTime& now)
{
    if (!copyable(databasePath))
        return {};
    Connection source;
    // Opened for writing although only read, so that closing it tidies away the journal files
    // that reading a write-ahead database makes; nothing is written through it.
    const int rc = source.open(databasePath, Access::ReadWrite);
    if (rc == ResultOk)
        (void)source.exec("PRAGMA query_only = 1");
    if (rc != ResultOk) {
        const QFileInfo database(databasePath);
        const QString stamp = now.toString(StampFormat);
        return failure(isDamage(rc) ? Backup::Cause::Damaged : Backup::Cause::CannotCopy,
                       database.absoluteDir().filePath(backupName(namePartsOf(databasePath), stamp, 1)),
                       reasonFor(rc, source));
    }
    return detail::backUpFrom(source, databasePath, now);
}

void settleBackup(const Backup& backup, const QString& databasePath, bool runWrote, int keep)
{
    if (backup.outcome != Backup::Outcome::Made)
        return;
    if (!runWrote) {
        QFile::remove(backup.path);
        return;
    }
    const QFileInfo made(backup.path);
    removeOlderBackups(made.absoluteDir(), namePartsOf(databasePath), made.fileName(),
                       backup.made.toString(StampFormat), std::max(1, keep));
}

Backup detail::backUpFrom(Connection& source, const QString& databasePath, const QDateTime& now)
{
    const QFileInfo database(databasePath);
    const QDir folder = database.absoluteDir();
    const NameParts parts = namePartsOf(databasePath);
    const QString stamp = now.toString(StampFormat);
    const QString firstName = folder.filePath(backupName(parts, stamp, 1));
    using Cause = Backup::Cause;

    PartFile part(databasePath);
    if (QString error; !part.create(error))
        return failure(Cause::CannotCopy, firstName,
                       QStringLiteral("no file can be made in the folder %1 (%2)")
                           .arg(displayPath(folder.path()), error));
    if (Backup copy = copyAndCheck(source, part.path(), firstName); copy.failed())
        return copy;

    // QFile::rename never replaces a file, so two runs in the same second keep both copies.
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const QString name = backupName(parts, stamp, sequence);
        const QString target = folder.filePath(name);
        if (QFile::exists(target))
            continue;
        QFile file(part.path());
        if (file.rename(target)) {
            part.keep();
            removeStaleParts(folder, database.fileName());
            Backup result;
            result.outcome = Backup::Outcome::Made;
            result.path = target;
            result.made = now;
            return result;
        }
        if (!QFile::exists(target))
            return failure(Cause::CannotCopy, target, file.errorString());
    }
    return failure(Cause::CannotCopy, firstName,
                   QStringLiteral("too many copies were made within one second"));
}

Backup copyForPlan(const QString& databasePath, const QString& copyPath)
{
    if (!QFileInfo(databasePath).isFile() || inspectFile(databasePath) != FileKind::SQLite)
        return {};
    using Cause = Backup::Cause;
    Connection source;
    // A database this user may write but whose journal files would refuse an import is refused
    // as the import refuses it; opening it says why.
    if (mayWrite(databasePath) && !checkWritable(databasePath).ok())
        return {};
    if (!mayOpenForWriting(databasePath)) {
        // A user who may only read the database gets its plan all the same, read as it stands.
        const int rc = openForReading(source, databasePath);
        if (rc != ResultOk)
            return failure(detail::isBusy(rc) ? Cause::Locked
                           : isDamage(rc)     ? Cause::Damaged
                                              : Cause::CannotCopy,
                           copyPath, reasonFor(rc, source));
        return copyAndCheck(source, copyPath, copyPath);
    }

    // Both opened for writing although neither writes, so that closing them tidies away the
    // journal files that reading a write-ahead database makes.
    Connection lock;
    int rc = lock.open(databasePath, Access::ReadWrite);
    if (rc == ResultOk)
        rc = lock.exec("BEGIN IMMEDIATE");
    if (rc != ResultOk)
        return failure(detail::isBusy(rc) ? Cause::Locked
                       : isDamage(rc)     ? Cause::Damaged
                                          : Cause::CannotCopy,
                       copyPath, reasonFor(rc, lock));
    (void)lock.exec("PRAGMA query_only = 1");

    // The online backup refuses a source connection that holds a write transaction, so the
    // pages are read through a connection of their own while the lock stands.
    rc = source.open(databasePath, Access::ReadWrite);
    if (rc == ResultOk)
        rc = source.exec("PRAGMA query_only = 1");
    if (rc != ResultOk)
        return failure(isDamage(rc) ? Cause::Damaged : Cause::CannotCopy, copyPath, reasonFor(rc, source));
    Backup copy = copyAndCheck(source, copyPath, copyPath);
    (void)lock.exec("ROLLBACK");
    return copy;
}

QStringList backupsOf(const QString& databasePath)
{
    const QFileInfo database(databasePath);
    QStringList paths;
    for (const Found& backup : findBackups(database.absoluteDir(), namePartsOf(databasePath)))
        paths.append(database.absoluteDir().filePath(backup.name));
    return paths;
}

QString backupNamePattern(const QString& databasePath)
{
    return backupName(namePartsOf(databasePath), QStringLiteral("YYYYMMDD-HHMMSS"), 1);
}

QDateTime backupTime(const QString& databasePath, const QString& backupPath)
{
    const QRegularExpressionMatch match =
        backupPattern(namePartsOf(databasePath)).match(QFileInfo(backupPath).fileName());
    if (!match.hasMatch())
        return {};
    return QDateTime::fromString(match.captured(1), StampFormat);
}

} // namespace brevik::db
