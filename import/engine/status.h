#pragma once

#include <QString>

namespace brevik::db {

// Error numbers of the database layer. The writer shows them to the operator as
// "Error Number equals N", so they keep the numbering the Orvella tools have always used.
enum ErrorNumber : int
{
    ErrOverflow = 6,             // a number outside the 32-bit range
    ErrInvalidUseOfNull = 94,    // a null value read as text
    ErrEngine = 3000,            // any other engine failure
    ErrUpdateWithoutEdit = 3020, // Update, or setting a field, without AddNew or Edit
    ErrNoCurrentRecord = 3021,   // no current row: empty table, before the first or after the last
    ErrDuplicateKey = 3022,      // a unique index refused the row
    ErrFileNotFound = 3024,      // the database file does not exist
    ErrReadOnly = 3027,          // a change through a data control that was set read-only
    ErrDiskFull = 3035,          // the disk or the engine's memory is full
    ErrCorrupt = 3049,           // the file is damaged or truncated
    ErrCannotOpen = 3051,        // the file cannot be opened or is read-only
    ErrTableNotFound = 3078,     // the record source names no table of the database
    ErrDatabaseExists = 3204,    // a new database would replace a file that exists
    ErrLocked = 3260,            // another program holds the database locked beyond the busy timeout
    ErrItemNotFound = 3265,      // a field name the table does not have
    ErrConstraint = 3317,        // a constraint or trigger of the database refused the row
    ErrNotADatabase = 3343,      // the file is not a database this program can open
};

// The outcome of one engine operation: success, or a failure with its number and a
// description for the operator.
class [[nodiscard]] Status
{
public:
    Status() = default;
    static Status failure(int number, QString description)
    {
        Status s;
        s.m_number = number;
        s.m_description = std::move(description);
        return s;
    }

    [[nodiscard]] bool ok() const { return m_number == 0; }
    explicit operator bool() const { return ok(); }
    [[nodiscard]] int number() const { return m_number; }
    [[nodiscard]] const QString& description() const { return m_description; }

private:
    int m_number = 0;
    QString m_description;
};

} // namespace brevik::db
