#include "recordset.h"

#include "database.h"
#include "statement.h"
#include "tableinfo.h"

// The recordset's searches and scans: the engine's own FindFirst and FindNext, and the reading
// of one field of every row.
namespace brevik::db {

Status Recordset::FindFirst(std::span<const Criterion> criteria, bool& found)
{
    return find(criteria, false, found);
}

Status Recordset::FindNext(std::span<const Criterion> criteria, bool& found)
{
    found = false;
    if (Status s = settle(); !s)
        return s;
    if (!m_hasCurrent)
        return noCurrentRow();
    return find(criteria, true, found);
}

Status Recordset::find(std::span<const Criterion> criteria, bool afterCurrent, bool& found)
{
    found = false;
    FindShape shape;
    for (const Criterion& criterion : criteria) {
        const int index = fieldIndex(criterion.field);
        if (index < 0)
            return noField(criterion.field);
        shape.append(index * 3 + int(criterion.test));
    }

    Statement* statement = nullptr;
    if (Status s = m_info->find(m_db, shape, afterCurrent, statement); !s)
        return s;
    ResetOnExit resetter(statement);
    int parameter = 0;
    for (const Criterion& criterion : criteria) {
        if (criterion.test == Criterion::Test::IsTrue)
            continue;
        if (Status s = statement->bind(++parameter, criterion.value); !s)
            return s;
    }
    if (afterCurrent) {
        if (Status s = statement->bindInt64(++parameter, m_current); !s)
            return s;
    }
    if (Status s = statement->step(found); !s)
        return s;
    CancelUpdate();
    if (found) {
        m_firstPending = false;
        m_current = statement->columnInt64(0);
        m_hasCurrent = true;
        m_memory.forgetRow();
        m_memory.notePosition();
    }
    return {};
}

Status Recordset::scanField(QLatin1StringView field,
                            const std::function<void(qint64 rowid, const QVariant& value)>& visit)
{
    return scanFieldColumns(field,
                            [&visit](const Statement& row) { visit(row.columnInt64(0), row.column(1)); });
}

Status Recordset::scanFieldColumns(QLatin1StringView field,
                                   const std::function<void(const Statement& row)>& visit)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return noField(field);
    Statement statement;
    if (Status s = m_db.prepare(m_info->scanSql(index), statement); !s)
        return s;
    for (;;) {
        bool hasRow = false;
        if (Status s = statement.step(hasRow); !s)
            return s;
        if (!hasRow)
            return {};
        visit(statement);
    }
}

} // namespace brevik::db
