#include "sqliteerror.h"

#include <sqlite3.h>

namespace brevik::db {

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

static QString causeFor(int number)
{
    switch (number) {
    case ErrLocked:
        return QStringLiteral("The database is in use by another program and stayed locked");
    case ErrDuplicateKey:
        return QStringLiteral("The row would repeat a key that must be unique");
    case ErrConstraint:
        return QStringLiteral("A rule of the database refused the row");
    case ErrDiskFull:
        return QStringLiteral("The disk or the memory is full");
    case ErrCorrupt:
        return QStringLiteral("The database file is damaged or truncated");
    case ErrNotADatabase:
        return QStringLiteral("The file is not a database this program can open");
    case ErrCannotOpen:
        return QStringLiteral("The database file cannot be opened for writing");
    default:
        return QStringLiteral("The database engine failed");
    }
}

Status sqliteFailure(sqlite3* db, int sqliteCode)
{
    const int number = errorNumberFor(sqliteCode);
    const char* message = db ? sqlite3_errmsg(db) : sqlite3_errstr(sqliteCode);
    return Status::failure(number, causeFor(number) % u" (" % QString::fromUtf8(message) % u").");
}

} // namespace brevik::db
