#pragma once

#include "rowmemory.h"
#include "status.h"

#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace brevik::db {

class Database;
class Statement;
class TableInfo;

// The rows of one table, opened whole, in table order (rowid order), with one current row.
// It offers what the writer has always used: moving, counting, adding and editing rows, and
// fields by name. Values are read from the database when a row becomes current, so rows
// stored by any data control of the same workspace are seen at once. A recordset opens on its
// first row (looked up when the position is first needed). Moving to another row, or
// searching, cancels an AddNew or Edit that has not been stored.
class Recordset
{
public:
    Recordset(Database& db, QString table, QStringList columns);
    // The recordset of a table the connection knows (Database::table).
    Recordset(Database& db, std::shared_ptr<TableInfo> table);

    // A read-only recordset refuses AddNew and Edit with ErrReadOnly.
    void setReadOnly(bool readOnly) { m_readOnly = readOnly; }

    // Opens the table afresh, as a new recordset of it would be: on its first row, with no
    // row being added or edited. Refreshing a data control reuses its recordset this way.
    void reopen();
    [[nodiscard]] const std::shared_ptr<TableInfo>& info() const { return m_info; }
    [[nodiscard]] const Database& database() const { return m_db; }

    [[nodiscard]] const QString& table() const { return m_table; }
    [[nodiscard]] const QStringList& columns() const { return m_columns; }
    [[nodiscard]] bool hasField(QLatin1StringView name) const { return fieldIndex(name) >= 0; }

    // Moves fail with ErrNoCurrentRecord on a table without rows.
    [[nodiscard]] Status MoveFirst();
    [[nodiscard]] Status MoveNext();
    [[nodiscard]] Status MoveLast();
    // True once MoveNext has passed the last row, or on a table without rows.
    [[nodiscard]] bool AtEOF() const;
    [[nodiscard]] Status RecordCount(qint64& count) const;

    // AddNew starts an empty new row, Edit opens the current row for change; Update stores it.
    // After an Update from AddNew the current row stays where it was; the stored row is the
    // last row of the table, so MoveLast makes it current. After an Update from Edit the
    // edited row stays current. A refused Update stores nothing and ends the edit.
    [[nodiscard]] Status AddNew();
    [[nodiscard]] Status Edit();
    [[nodiscard]] Status Update();
    void CancelUpdate();
    [[nodiscard]] bool editing() const { return m_editMode != EditMode::None; }
    // The rowid of the row that the last successful Update stored, or -1.
    [[nodiscard]] qint64 LastModified() const { return m_lastModified; }

    // Field values of the current row, or of the row being added or edited (a field not yet
    // set on a row being added reads as null). Setting a field needs AddNew or Edit first.
    [[nodiscard]] Status value(QLatin1StringView field, QVariant& out);
    [[nodiscard]] Status setValue(QLatin1StringView field, const QVariant& value);
    [[nodiscard]] Status setValue(QLatin1StringView field, QVariant&& value);

    // The rowid of the current row, or -1.
    [[nodiscard]] qint64 currentRowid() const;
    // Makes the row with this rowid current; fails with ErrNoCurrentRecord when there is none.
    [[nodiscard]] Status moveTo(qint64 rowid);

    // Engine-side search, the database's own FindFirst: the first row in table order, or the
    // first after the current row for FindNext, that meets every criterion. On a match the row
    // becomes current; otherwise the current row stays. Indexes make it fast.
    struct Criterion
    {
        enum class Test
        {
            Equals,        // field = value, compared exactly
            TrimmedEquals, // the field without blanks at either end = value
            IsTrue,        // a yes/no field that holds true (any number but 0)
        };
        QLatin1StringView field;
        Test test = Test::Equals;
        QVariant value; // not used by IsTrue; a null value matches no row
    };
    [[nodiscard]] Status FindFirst(std::span<const Criterion> criteria, bool& found);
    [[nodiscard]] Status FindNext(std::span<const Criterion> criteria, bool& found);

    // Reads one field of every row in table order, for scans that need all of them at once.
    // The visitor must not change the table.
    [[nodiscard]] Status scanField(QLatin1StringView field,
                                   const std::function<void(qint64 rowid, const QVariant& value)>& visit);
    // The same scan for visitors that read the field themselves, as column 1 of the statement
    // (column 0 is the rowid), without making a value of it first.
    [[nodiscard]] Status scanFieldColumns(QLatin1StringView field,
                                          const std::function<void(const Statement& row)>& visit);

private:
    enum class EditMode
    {
        None,
        Adding,
        Editing
    };

    [[nodiscard]] int fieldIndex(QLatin1StringView name) const;
    [[nodiscard]] Status noField(QLatin1StringView name) const;
    [[nodiscard]] static Status noCurrentRow();
    [[nodiscard]] Status settle() const;
    [[nodiscard]] Status seek(int query, bool& found);
    [[nodiscard]] Status readRow(qint64 rowid, bool& found);
    [[nodiscard]] Status loadCurrent();
    [[nodiscard]] Status find(std::span<const Criterion> criteria, bool afterCurrent, bool& found);
    void startEdit(EditMode mode);
    void leaveOutUnchangedFields();

    Database& m_db;
    std::shared_ptr<TableInfo> m_info;
    QString m_table;
    QStringList m_columns;
    bool m_readOnly = false;
    mutable bool m_firstPending = true; // on the first row, not yet looked up
    mutable bool m_hasCurrent = false;
    mutable qint64 m_current = 0; // rowid of the current row, when there is one
    qint64 m_lastModified = -1;
    RowMemory m_memory; // what is known of the rows without asking the database again
    EditMode m_editMode = EditMode::None;
    std::vector<QVariant> m_buffer; // the row being added or edited
    std::vector<quint64> m_dirty;   // fields set since AddNew or Edit, one bit each
};

} // namespace brevik::db
