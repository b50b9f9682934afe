#pragma once

#include <QByteArray>
#include <QVariant>
#include <QtGlobal>

#include <cstddef>
#include <vector>

namespace brevik::db {

class Database;
class Statement;
class TableInfo;

// What a recordset remembers of the rows between its calls, so that the writer's many moves
// and reads within one transaction ask the database only where they must: that the current row
// is still there, the values of the row last read, and the last row of the table (shared by
// every recordset of the table on the connection). Each memory holds only while the
// connection's rows epoch (Database::rowsEpoch) it was made in lasts, and for the values of a
// row, while the connection has changed nothing since they were read.
class RowMemory
{
public:
    // The table's facts outlive the memory: the recordset that owns both keeps them.
    RowMemory(Database& db, TableInfo& table)
        : m_db(db)
        , m_table(table)
    {}

    // Forgets everything, as for a recordset opened afresh.
    void forget();

    // Within one transaction of ours, and with no change that a recordset has not accounted
    // for, a row that was seen is still there: no other program can write, and our own writes
    // never remove a row of a table whose rows are stable.
    [[nodiscard]] bool positionKnown() const;
    // The current row was just seen in the database.
    void notePosition() const;
    void forgetPosition() const { m_positionEpoch = 0; }

    // The last row of the table, where it is known in this epoch: any tells whether the table
    // has rows at all. The current row then counts as seen.
    [[nodiscard]] bool knownLastRow(bool& any, qint64& rowid) const;
    // The last row was just looked up.
    void noteLastRow(bool any, qint64 rowid);
    // This recordset just added the row, in the epoch given, and the write changed that row
    // alone: a known last row moves on to it.
    void noteAdded(quint64 epoch, qint64 rowid);

    // Keeps the values of the row a statement stands on; column 0 is the rowid, the fields
    // follow in the table's order.
    void keepRow(const Statement& row, std::size_t fields);
    void forgetRow() { m_loaded = false; }
    [[nodiscard]] bool rowLoaded() const { return m_loaded; }
    // The values kept are still those of the database: nothing was written since they were
    // read, since any recordset of the workspace may have stored the row.
    [[nodiscard]] bool rowCurrent() const;
    // The kept row may be compared with new values: it is current and was seen in this epoch.
    [[nodiscard]] bool rowComparable() const { return rowCurrent() && positionKnown(); }

    // A field of the row kept.
    [[nodiscard]] QVariant cell(std::size_t index) const;
    // Whether storing the value would leave the field of the row kept as it is: the same
    // storage class and the same bytes. Anything in doubt counts as a change.
    [[nodiscard]] bool holdsAlready(std::size_t index, const QVariant& value) const;

private:
    Database& m_db;
    TableInfo& m_table;
    mutable quint64 m_positionEpoch = 0; // the rows epoch in which the current row was last seen
    bool m_loaded = false;
    qint64 m_loadedAtChange = 0; // the connection's change count when the row was read
    // The values of the row, as the database gave them; each becomes a QVariant only when it
    // is asked for.
    struct Cell
    {
        int type = 0; // Statement::ColumnType
        qint64 integer = 0;
        double real = 0;
        qsizetype offset = 0; // text and bytes, in m_rowBytes
        qsizetype size = 0;
    };
    std::vector<Cell> m_cells;
    QByteArray m_rowBytes;
};

} // namespace brevik::db
