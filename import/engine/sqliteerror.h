#pragma once

#include "status.h"

struct sqlite3;

namespace brevik::db {

// The error number for an SQLite result code (primary or extended).
[[nodiscard]] int errorNumberFor(int sqliteCode);

// The failure for an SQLite result code, described in words with SQLite's own message for the
// connection's last call (or the code's general message without a connection). A disk without
// room is named as such, whatever the code, when the system's error for the call says so.
[[nodiscard]] Status sqliteFailure(sqlite3* db, int sqliteCode);

} // namespace brevik::db
