#pragma once

#include "status.h"

#include <QString>

// What a database file is and whether this program may open it, judged before the engine
// touches it.
namespace brevik::db {

// What a file on disk holds, judged from its first bytes before the engine touches it.
enum class FileKind
{
    Missing,      // no file at the path
    Empty,        // a file of no bytes
    SQLite,       // an SQLite 3 database
    Access,       // a Microsoft Access (Jet or ACE) database
    Unrecognised, // anything else
    Unreadable,   // a folder, or a file that cannot be read
};
[[nodiscard]] FileKind inspectFile(const QString& path);

// Whether this process may write the file or the folder, judged by its effective user and
// rights as an open would be, without opening it: closing any handle of a database file would
// drop the locks that a connection of this process holds on it.
[[nodiscard]] bool mayWrite(const QString& path);

// Whether this program may write the database and the journal files beside it ("-wal",
// "-shm", "-journal", where they exist), asked of the system without opening any of them. A
// journal file that is a link, or anything but an ordinary file, is refused by name.
// The engine, given a file it cannot write, still makes journal files beside it, with the
// file's own permissions; those would then refuse every later run, also once the file is
// writable again. So this is asked before the engine touches the file.
[[nodiscard]] Status checkWritable(const QString& path);

// Why Database::open with OpenExisting would refuse the file, judged as it judges it before the
// engine touches the file: missing, empty, an Access or other file, unreadable, or a database
// it cannot write. A sound file may still turn out damaged once it is read.
[[nodiscard]] Status checkOpenable(const QString& path);
// The same judgement for Database::open: a missing or empty file is refused only when it must
// exist.
[[nodiscard]] Status checkBeforeOpen(const QString& path, bool mustExist);

} // namespace brevik::db
