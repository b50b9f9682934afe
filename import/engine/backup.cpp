#include "backup.h"

#include "database.h"
#include "import/paths.h"

#include <sqlite3.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>

namespace brevik::db {
namespace {

// How long the copy waits for a lock another program holds, as the writer does.
constexpr int LockWaitMs = 5000;
constexpr int LockPauseMs = 25;
// A copy left unfinished by a run that was stopped is removed by a later run once it is this old;
// a younger one may belong to a run still copying.
constexpr qint64 StalePartSeconds = 24 * 60 * 60;
// Enough of the quick check's first finding to tell what is damaged.
constexpr qsizetype MaxFindingLength = 200;

QByteArray encodedPath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toUtf8(); // SQLite's Windows layer takes UTF-8 names
#else
    return QFile::encodeName(path);
#endif
}

class Connection
{
public:
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { sqlite3_close_v2(m_handle); }

    int open(const QString& path, int flags)
    {
        const int rc =
            sqlite3_open_v2(encodedPath(path).constData(), &m_handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
        if (m_handle) {
            sqlite3_extended_result_codes(m_handle, 1);
            sqlite3_busy_timeout(m_handle, LockWaitMs);
        }
        return rc;
    }
    [[nodiscard]] sqlite3* handle() const { return m_handle; }
    [[nodiscard]] QString errorMessage() const { return QString::fromUtf8(sqlite3_errmsg(m_handle)); }

private:
    sqlite3* m_handle = nullptr;
};

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
// always stays, even when a clock set back gives it an older time than the rest.
void removeOlderBackups(const QDir& folder, const NameParts& parts, const QString& made, int keep)
{
    int kept = 1;
    for (const Found& backup : findBackups(folder, parts)) {
        if (backup.name == made)
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

// The SQLite result in the operator's words.
QString reasonFor(int rc, const Connection& connection)
{
    switch (rc & 0xff) {
    case SQLITE_FULL:
        return QStringLiteral("the disk is full");
    case SQLITE_IOERR:
        // The engine calls a disk without room an I/O error unless the page write itself met it.
        if (rc != SQLITE_IOERR_NOMEM && sqlite3_system_errno(connection.handle()) == ENOSPC)
            return QStringLiteral("the disk is full");
        return QStringLiteral("the disk could not be read or written (%1)").arg(connection.errorMessage());
    case SQLITE_NOMEM:
        return QStringLiteral("the memory is full");
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("another program kept the database locked");
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QString::fromUtf8(sqlite3_errstr(rc));
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH:
        return QStringLiteral("the file cannot be opened (%1)").arg(connection.errorMessage());
    default:
        return connection.errorMessage();
    }
}

bool isDamage(int rc)
{
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
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

// Copies every page of the source in one step, waiting a while for a lock that another
// program holds. SQLITE_DONE when the whole database was copied.
int copyPages(const Connection& source, const Connection& target)
{
    sqlite3_backup* backup = sqlite3_backup_init(target.handle(), "main", source.handle(), "main");
    if (!backup)
        return sqlite3_extended_errcode(target.handle());
    QElapsedTimer waited;
    waited.start();
    int rc = SQLITE_OK;
    for (;;) {
        rc = sqlite3_backup_step(backup, -1);
        const int primary = rc & 0xff;
        if ((primary == SQLITE_BUSY || primary == SQLITE_LOCKED) && waited.elapsed() < LockWaitMs) {
            sqlite3_sleep(LockPauseMs);
            continue;
        }
        break;
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE && finished != SQLITE_OK ? finished : rc;
}

// The first finding of SQLite's quick check of the copy; "ok" for a sound database.
int quickCheck(const Connection& copy, QString& finding)
{
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(copy.handle(), "PRAGMA quick_check(1)", -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            finding = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return rc;
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
        return QStringLiteral("The Orvella database %1 is damaged (%2). Nothing was imported. Put one of its "
                              "backups in its place, or have the database repaired.")
            .arg(displayPath(databasePath), clause(reason));
    }
    return reason;
}

Backup backUpDatabase(const QString& databasePath, const QDateTime& now, int keep)
{
    Backup result;
    const QFileInfo database(databasePath);
    if (!database.isFile())
        return result;
    // Only a database the run can write is copied; one it cannot write would only gain journal
    // files beside it. Opening it says why.
    if (inspectFile(databasePath) != FileKind::SQLite || !checkWritable(databasePath).ok())
        return result;

    const QDir folder = database.absoluteDir();
    const NameParts parts = namePartsOf(databasePath);
    const QString stamp = now.toString(QStringLiteral("yyyyMMdd-HHmmss"));
    const QString firstName = folder.filePath(backupName(parts, stamp, 1));
    using Cause = Backup::Cause;

    PartFile part(databasePath);
    if (QString error; !part.create(error))
        return failure(Cause::CannotCopy, firstName,
                       QStringLiteral("no file can be made in the folder %1 (%2)")
                           .arg(displayPath(folder.path()), error));
    {
        Connection source;
        // Opened for writing although only read, so that closing it tidies away the journal
        // files that reading a write-ahead database makes. A write-protected file is read alone.
        if (const int rc = source.open(databasePath, SQLITE_OPEN_READWRITE); rc != SQLITE_OK)
            return failure(isDamage(rc) ? Cause::Damaged : Cause::CannotCopy, firstName,
                           reasonFor(rc, source));
        Connection copy;
        if (const int rc = copy.open(part.path(), SQLITE_OPEN_READWRITE); rc != SQLITE_OK)
            return failure(Cause::CannotCopy, firstName, reasonFor(rc, copy));
        if (const int rc = copyPages(source, copy); rc != SQLITE_DONE) {
            // A damaged source shows itself on either side; the failure is the source's unless
            // the copy's own disk refused.
            const int primary = rc & 0xff;
            const bool copySide = primary == SQLITE_FULL || primary == SQLITE_IOERR;
            return failure(isDamage(rc) ? Cause::Damaged : Cause::CannotCopy, firstName,
                           isDamage(rc) ? reasonFor(rc, source) : reasonFor(rc, copySide ? copy : source));
        }
        QString finding;
        if (const int rc = quickCheck(copy, finding); rc != SQLITE_OK)
            return failure(isDamage(rc) ? Cause::Damaged : Cause::CannotCopy, firstName, reasonFor(rc, copy));
        if (finding != u"ok")
            return failure(Cause::Damaged, firstName, finding.simplified().left(MaxFindingLength));
    }

    // QFile::rename never replaces a file, so two runs in the same second keep both copies.
    for (int sequence = 1; sequence < 1000; ++sequence) {
        const QString name = backupName(parts, stamp, sequence);
        const QString target = folder.filePath(name);
        if (QFile::exists(target))
            continue;
        QFile file(part.path());
        if (file.rename(target)) {
            part.keep();
            removeOlderBackups(folder, parts, name, std::max(1, keep));
            removeStaleParts(folder, database.fileName());
            result.outcome = Backup::Outcome::Made;
            result.path = target;
            return result;
        }
        if (!QFile::exists(target))
            return failure(Cause::CannotCopy, target, file.errorString());
    }
    return failure(Cause::CannotCopy, firstName,
                   QStringLiteral("too many copies were made within one second"));
}

QStringList backupsOf(const QString& databasePath)
{
    const QFileInfo database(databasePath);
    QStringList paths;
    for (const Found& backup : findBackups(database.absoluteDir(), namePartsOf(databasePath)))
        paths.append(database.absoluteDir().filePath(backup.name));
    return paths;
}

} // namespace brevik::db
