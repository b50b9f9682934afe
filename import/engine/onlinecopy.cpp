#include "onlinecopy.h"

#include "database.h"
#include "lockwait.h"

#include <sqlite3.h>

#include <QElapsedTimer>
#include <QFile>
#include <QUrl>

#include <cerrno>

namespace brevik::db::detail {
namespace {

constexpr int LockPauseMs = 25;
// Enough of the quick check's first finding to tell what is damaged.
constexpr qsizetype MaxFindingLength = 200;

} // namespace

QByteArray encodedPath(const QString& path)
{
#ifdef Q_OS_WIN
    return path.toUtf8(); // SQLite's Windows layer takes UTF-8 names
#else
    return QFile::encodeName(path);
#endif
}

Connection::~Connection()
{
    close();
}

namespace {

// The wait of LockWaitMs for another program's lock, told to the thread's listener.
int waitForCopyLock(void*, int attempts)
{
    return waitForLock(attempts, LockWaitMs) ? 1 : 0;
}

} // namespace

static_assert(ResultOk == SQLITE_OK && ResultDone == SQLITE_DONE);

int Connection::open(const QString& path, Access access)
{
    close();
    int flags = SQLITE_OPEN_READONLY;
    if (access == Access::ReadWrite)
        flags = SQLITE_OPEN_READWRITE;
    else if (access == Access::Create)
        flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    configureEngine();
    const int rc =
        sqlite3_open_v2(encodedPath(path).constData(), &m_handle, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (m_handle) {
        sqlite3_extended_result_codes(m_handle, 1);
        sqlite3_busy_handler(m_handle, &waitForCopyLock, nullptr);
    }
    return rc;
}

int Connection::openImmutable(const QString& path)
{
    close();
    configureEngine();
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    const int rc = sqlite3_open_v2(uri.constData(), &m_handle,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (m_handle)
        sqlite3_extended_result_codes(m_handle, 1);
    return rc;
}

int Connection::openReadingJournals(const QString& path)
{
    close();
    configureEngine();
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?mode=ro&readonly_shm=1";
    const int rc = sqlite3_open_v2(uri.constData(), &m_handle,
                                   SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    if (m_handle) {
        sqlite3_extended_result_codes(m_handle, 1);
        sqlite3_busy_timeout(m_handle, LockWaitMs);
    }
    return rc;
}

void Connection::close()
{
    sqlite3_close_v2(m_handle);
    m_handle = nullptr;
}

void Connection::setBusyTimeout(int milliseconds)
{
    sqlite3_busy_timeout(m_handle, milliseconds);
}

QString Connection::errorMessage() const
{
    return QString::fromUtf8(sqlite3_errmsg(m_handle));
}

int Connection::exec(const char* sql)
{
    return sqlite3_exec(m_handle, sql, nullptr, nullptr, nullptr);
}

int Connection::queryText(const char* sql, QString& value)
{
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(m_handle, sql, -1, &statement, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(statement);
        if (rc == SQLITE_ROW) {
            value = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)));
            rc = SQLITE_OK;
        } else if (rc == SQLITE_DONE) {
            value.clear();
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(statement);
    return rc;
}

int Connection::tableFields(QLatin1StringView table, QStringList& fields)
{
    fields.clear();
    sqlite3_stmt* statement = nullptr;
    int rc = sqlite3_prepare_v2(m_handle, "SELECT name FROM pragma_table_info(?1)", -1, &statement, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_bind_text(statement, 1, table.data(), int(table.size()), SQLITE_STATIC);
    if (rc == SQLITE_OK) {
        while ((rc = sqlite3_step(statement)) == SQLITE_ROW)
            fields.append(
                QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0))));
    }
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE ? SQLITE_OK : rc;
}

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
        if (isBusy(rc) && waited.elapsed() < LockWaitMs) {
            sqlite3_sleep(LockPauseMs);
            continue;
        }
        break;
    }
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE && finished != SQLITE_OK ? finished : rc;
}

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

bool isBusy(int rc)
{
    return (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
}

std::optional<CopyFailure> copyChecked(const Connection& source, const QString& target)
{
    Connection copy;
    if (const int rc = copy.open(target, Access::Create); rc != SQLITE_OK)
        return CopyFailure{false, reasonFor(rc, copy)};
    if (const int rc = copyPages(source, copy); rc != SQLITE_DONE) {
        // A damaged source shows itself on either side; the failure is the source's unless
        // the copy's own disk refused.
        const int primary = rc & 0xff;
        const bool copySide = primary == SQLITE_FULL || primary == SQLITE_IOERR;
        return CopyFailure{isDamage(rc),
                           isDamage(rc) ? reasonFor(rc, source) : reasonFor(rc, copySide ? copy : source)};
    }
    QString finding;
    if (const int rc = copy.queryText("PRAGMA quick_check(1)", finding); rc != SQLITE_OK)
        return CopyFailure{isDamage(rc), reasonFor(rc, copy)};
    if (finding != u"ok")
        return CopyFailure{true, finding.simplified().left(MaxFindingLength)};
    return std::nullopt;
}

} // namespace brevik::db::detail
