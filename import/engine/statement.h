#pragma once

#include "status.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace brevik::db {

// One prepared statement. The destructor finalizes it; it moves but never copies. Every bind
// is checked, and values are always bound, never spliced into the SQL text.
class Statement
{
public:
    Statement() = default;
    Statement(sqlite3* db, sqlite3_stmt* stmt);
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&& other) noexcept;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement();

    [[nodiscard]] bool isValid() const { return m_stmt != nullptr; }

    // Parameters are numbered from 1, as SQLite numbers them.
    [[nodiscard]] Status bind(int index, const QVariant& value);
    [[nodiscard]] Status bindText(int index, QStringView text);
    [[nodiscard]] Status bindInt64(int index, qint64 value);
    [[nodiscard]] Status bindNull(int index);

    // Runs the statement one step: hasRow is true while it yields rows.
    [[nodiscard]] Status step(bool& hasRow);
    // Runs a statement that yields no rows to its end.
    [[nodiscard]] Status run();
    // Makes the statement ready to run again; the bound values stay until bound anew.
    void reset();
    // Sets every parameter back to null.
    void clearBindings();

    // Columns are numbered from 0. The values follow the rules of value.h.
    [[nodiscard]] int columnCount() const;
    [[nodiscard]] QVariant column(int index) const;
    [[nodiscard]] qint64 columnInt64(int index) const;
    // The storage class of a column's value, numbered as SQLite numbers them.
    enum class ColumnType
    {
        Integer = 1,
        Float = 2,
        Text = 3,
        Blob = 4,
        Null = 5,
    };
    [[nodiscard]] ColumnType columnType(int index) const;
    // Whether values of this type are stored as whole numbers that fit a signed 64-bit integer.
    [[nodiscard]] static bool isSignedWholeNumber(int metaTypeId);
    [[nodiscard]] double columnDouble(int index) const;
    // The bytes of a text (UTF-8) or blob column; valid until the statement steps or resets.
    [[nodiscard]] QByteArrayView columnBytes(int index) const;
    [[nodiscard]] bool columnIsNull(int index) const;
    [[nodiscard]] QString columnName(int index) const;

private:
    sqlite3* m_db = nullptr;
    sqlite3_stmt* m_stmt = nullptr;
    // The UTF-8 of each bound text, by parameter: SQLite reads it in place while it stays bound,
    // and the buffers are used again by the next values.
    std::vector<QByteArray> m_texts;
};

// Resets a statement when the operation that uses it ends, on every path, so that no read
// stays open on the connection and the statement is ready for its next use.
class ResetOnExit
{
public:
    explicit ResetOnExit(Statement* statement)
        : m_statement(statement)
    {}
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;
    ~ResetOnExit() { m_statement->reset(); }

private:
    Statement* m_statement;
};

} // namespace brevik::db
