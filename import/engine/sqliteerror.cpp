#include "sqliteerror.h"

#include <sqlite3.h>

#include <cerrno>

namespace brevik::db {
namespace {

// The engine names a disk without room "disk I/O error" whenever the write that met it was
// not one of the database's own pages (the journal, its index, a sync); the system's error
// number tells the real cause.
bool diskFull(sqlite3* db, int sqliteCode)
{
    const int primary = sqliteCode & 0xff;
    if (primary == SQLITE_FULL)
        return true;
    return primary == SQLITE_IOERR && sqliteCode != SQLITE_IOERR_NOMEM && db &&
           sqlite3_system_errno(db) == ENOSPC;
}

QString causeFor(int number, int sqliteCode, bool full)
{
    switch (number) {
    case ErrLocked:
        return QStringLiteral("The database is in use by another program and stayed locked");
    case ErrDuplicateKey:
        return QStringLiteral("The row would repeat a key that must be unique");
    case ErrConstraint:
        return QStringLiteral("A rule of the database refused the row");
    case ErrDiskFull:
        return full ? QStringLiteral("Nothing more could be written, as the disk is full")
                    : QStringLiteral("The memory is full");
    case ErrCorrupt:
        return QStringLiteral("The database file is damaged or truncated");
    case ErrNotADatabase:
        return QStringLiteral("The file is not a database this program can open");
    case ErrCannotOpen:
        return QStringLiteral("The database file cannot be opened for writing");
    default:
        return (sqliteCode & 0xff) == SQLITE_IOERR ? QStringLiteral("The disk could not be read or written")
                                                   : QStringLiteral("The database engine failed");
    }
}

} // namespace

int errorNumberFor(int sqliteCode)
{
    switch (sqliteCode) {
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_ROWID:
        return ErrDuplicateKey;
    case SQLITE_IOERR_NOMEM:
        return ErrDiskFull;
    default:
        break;
    }
    switch (sqliteCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return ErrLocked;
    case SQLITE_CONSTRAINT:
        return ErrConstraint;
    case SQLITE_FULL:
    case SQLITE_NOMEM:
        return ErrDiskFull;
    case SQLITE_CORRUPT:
        return ErrCorrupt;
    case SQLITE_NOTADB:
        return ErrNotADatabase;
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return ErrCannotOpen;
    default:
        return ErrEngine;
    }
}

Status sqliteFailure(sqlite3* db, int sqliteCode)
{
    const bool full = diskFull(db, sqliteCode);
    const int number = full ? int(ErrDiskFull) : errorNumberFor(sqliteCode);
    // The engine's own words for a full disk ("disk I/O error") would only blur the cause.
    if (full)
        return Status::failure(number, causeFor(number, sqliteCode, full) % u'.');
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(sqliteCode);
    return Status::failure(number,
                           causeFor(number, sqliteCode, full) % u" (" % QString::fromUtf8(message) % u").");
}

} // namespace brevik::db
