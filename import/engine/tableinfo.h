#pragma once

#include "status.h"

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringList>
#include <QVarLengthArray>

#include <array>
#include <vector>

namespace brevik::db {

class Database;
class Statement;

// A set of the fields of one table: one bit per field, in field order.
using FieldSet = std::vector<quint64>;

// The shape of one search: per criterion its field and its test (field * 3 + test), so that
// every search of the same shape runs the same prepared statement with new values.
using FindShape = QVarLengthArray<int, 8>;

// What the recordsets of one table share on one connection: the table's fields and the SQL
// of every query they run, each prepared once. The statements belong to the connection's
// cache; the ones handed out here are reset and ready to be bound.
class TableInfo
{
public:
    TableInfo(QString name, QStringList columns);
    TableInfo(const TableInfo&) = delete;
    TableInfo& operator=(const TableInfo&) = delete;

    [[nodiscard]] const QString& name() const { return m_name; }
    [[nodiscard]] const QStringList& columns() const { return m_columns; }
    // The field's position, matched without regard to ASCII case as SQLite matches names; -1
    // for a name the table does not have.
    [[nodiscard]] int fieldIndex(QLatin1StringView name) const;

    // Set by the connection that read the table: the field that is the rowid itself, or -1,
    // and whether what recordsets learn of the rows may be kept (no write of ours can remove a
    // row as a side effect).
    void setRowFacts(int rowidField, bool rowsStable, bool hasTriggers)
    {
        m_rowidField = rowidField;
        m_rowsStable = rowsStable;
        m_hasTriggers = hasTriggers;
    }
    [[nodiscard]] int rowidField() const { return m_rowidField; }
    [[nodiscard]] bool rowsStable() const { return m_rowsStable; }
    // Whether a field given the value it already holds may be left out of an UPDATE: nothing
    // but the stored values can tell the difference, no trigger watching the write.
    [[nodiscard]] bool skipsUnchangedFields() const { return m_rowsStable && !m_hasTriggers; }

    // The last row of the table as last seen, and the rows epoch (Database::rowsEpoch) it was
    // seen in; it holds only while that epoch lasts.
    struct LastRow
    {
        quint64 epoch = 0;
        bool any = false; // the table has rows
        qint64 rowid = 0;
    };
    LastRow lastRow;

    enum class Query
    {
        First, // SELECT rowid ... the first row
        Last,  // ... the last row
        Next,  // ... the first row after ?1
        Count, // SELECT count(*)
        Row,   // SELECT rowid, every field ... WHERE rowid = ?1
    };
    [[nodiscard]] Status query(Database& db, Query query, Statement*& out);
    // SELECT rowid of the first row meeting the criteria, after rowid ?N when afterCurrent;
    // the values are bound from ?1 in the order of the criteria that take one.
    [[nodiscard]] Status find(Database& db, const FindShape& shape, bool afterCurrent, Statement*& out);
    // INSERT of the fields of the set, bound from ?1 in field order.
    [[nodiscard]] Status insert(Database& db, const FieldSet& fields, Statement*& out);
    // UPDATE of the fields of the set, bound from ?1 in field order, then the rowid.
    [[nodiscard]] Status update(Database& db, const FieldSet& fields, Statement*& out);

    // SELECT rowid and one field of every row in rowid order; prepared for one scan, not kept.
    [[nodiscard]] QString scanSql(int field) const;

    [[nodiscard]] static bool contains(const FieldSet& fields, int index)
    {
        return (fields[std::size_t(index) / 64] >> (index % 64)) & 1U;
    }

private:
    [[nodiscard]] int searchField(QLatin1StringView name) const;
    [[nodiscard]] QString buildQuery(Query query) const;
    [[nodiscard]] QString buildFind(const FindShape& shape, bool afterCurrent) const;
    [[nodiscard]] QString buildInsert(const FieldSet& fields) const;
    [[nodiscard]] QString buildUpdate(const FieldSet& fields) const;
    using WriteBuilder = QString (TableInfo::*)(const FieldSet&) const;
    struct WriteEntry;
    [[nodiscard]] Status write(Database& db, std::vector<WriteEntry>& entries, WriteBuilder build,
                               const FieldSet& fields, Statement*& out);

    struct FindEntry
    {
        FindShape shape;
        bool afterCurrent = false;
        Statement* statement = nullptr;
    };
    struct WriteEntry
    {
        FieldSet fields;
        Statement* statement = nullptr;
    };

    QString m_name;
    QStringList m_columns;
    std::vector<QByteArray> m_latinColumns; // the names in Latin-1, for fieldIndex
    // Recent look-ups by where the name asked for lies: callers pass the same literals again
    // and again. A hit still compares the name itself, so a reused buffer cannot mislead it.
    struct RecentField
    {
        const char* name = nullptr;
        int index = -1;
    };
    mutable std::array<RecentField, 64> m_recentFields{};
    int m_rowidField = -1;
    bool m_rowsStable = false;
    bool m_hasTriggers = true;
    QString m_quotedTable;
    QStringList m_quotedColumns;
    QString m_rowid; // the name that reaches the rowid: rowid, unless a field of that name hides it
    std::array<Statement*, 5> m_queries{};
    std::vector<FindEntry> m_finds;
    std::vector<WriteEntry> m_inserts;
    std::vector<WriteEntry> m_updates;
};

// The name as an SQL identifier: in double quotes, with any double quote doubled.
[[nodiscard]] QString quoteIdentifier(const QString& name);

} // namespace brevik::db
