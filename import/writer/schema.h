#pragma once

#include "import/engine/status.h"

#include <QLatin1StringView>
#include <QString>

#include <span>

namespace brevik::db {

class Database;

// The four customer tables of zrdata.mdb and the fields the writer reads and writes.
struct TableFields
{
    QLatin1StringView table;
    std::span<const QLatin1StringView> fields;
};
[[nodiscard]] std::span<const TableFields> customerTables();

// Creates a new database file with the four tables, their indexes and a write-ahead journal.
// Refuses to replace a file that exists.
[[nodiscard]] Status createDatabase(const QString& path);

// Checks that every table and field the writer needs is present and that the three key fields
// are auto-numbers, and adds the indexes that keep its look-ups fast where they are missing.
// Writes nothing else.
[[nodiscard]] Status prepareForImport(Database& db);

} // namespace brevik::db
