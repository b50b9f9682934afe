#include "recordset.h"

#include "database.h"
#include "statement.h"
#include "tableinfo.h"

#include <algorithm>
#include <utility>

namespace brevik::db {

namespace {

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

Status noCurrentRow()
{
    return Status::failure(ErrNoCurrentRecord, QStringLiteral("There is no current row."));
}

} // namespace

Recordset::Recordset(Database& db, QString table, QStringList columns)
    : m_db(db)
    , m_table(std::move(table))
    , m_columns(std::move(columns))
{
    std::shared_ptr<TableInfo> info;
    if (db.table(m_table, info).ok() && info->columns() == m_columns)
        m_info = std::move(info);
    else
        m_info = std::make_shared<TableInfo>(m_table, m_columns);
    m_dirty.assign((std::size_t(m_columns.size()) + 63) / 64, 0);
}

Recordset::Recordset(Database& db, std::shared_ptr<TableInfo> table)
    : m_db(db)
    , m_info(std::move(table))
    , m_table(m_info->name())
    , m_columns(m_info->columns())
{
    m_dirty.assign((std::size_t(m_columns.size()) + 63) / 64, 0);
}

int Recordset::fieldIndex(QLatin1StringView name) const
{
    return m_info->fieldIndex(name);
}

Status Recordset::noField(QLatin1StringView name) const
{
    return Status::failure(ErrItemNotFound,
                           QStringLiteral("The table %1 has no field %2.").arg(m_table, name));
}

// A recordset opens on its first row. The row is looked up only when the position is first
// needed: the writer moves to the last row straight after opening.
Status Recordset::settle() const
{
    if (!m_firstPending)
        return {};
    Statement* statement = nullptr;
    if (Status s = m_info->query(m_db, TableInfo::Query::First, statement); !s)
        return s;
    ResetOnExit resetter(statement);
    bool found = false;
    if (Status s = statement->step(found); !s)
        return s;
    m_firstPending = false;
    m_hasCurrent = found;
    if (found)
        m_current = statement->columnInt64(0);
    return {};
}

bool Recordset::AtEOF() const
{
    return !settle().ok() || !m_hasCurrent;
}

qint64 Recordset::currentRowid() const
{
    return settle().ok() && m_hasCurrent ? m_current : -1;
}

Status Recordset::seek(int query, bool& found)
{
    found = false;
    const auto which = TableInfo::Query(query);
    Statement* statement = nullptr;
    if (Status s = m_info->query(m_db, which, statement); !s)
        return s;
    ResetOnExit resetter(statement);
    if (which == TableInfo::Query::Next) {
        if (Status s = statement->bindInt64(1, m_current); !s)
            return s;
    }
    if (Status s = statement->step(found); !s)
        return s;
    CancelUpdate();
    m_loaded = false;
    m_firstPending = false;
    m_hasCurrent = found;
    if (found)
        m_current = statement->columnInt64(0);
    return {};
}

Status Recordset::MoveFirst()
{
    bool found = false;
    if (Status s = seek(int(TableInfo::Query::First), found); !s)
        return s;
    if (!found)
        return Status::failure(ErrNoCurrentRecord, QStringLiteral("The table %1 has no rows.").arg(m_table));
    return {};
}

Status Recordset::MoveLast()
{
    bool found = false;
    if (Status s = seek(int(TableInfo::Query::Last), found); !s)
        return s;
    if (!found)
        return Status::failure(ErrNoCurrentRecord, QStringLiteral("The table %1 has no rows.").arg(m_table));
    return {};
}

Status Recordset::MoveNext()
{
    if (Status s = settle(); !s)
        return s;
    if (!m_hasCurrent)
        return noCurrentRow();
    bool found = false;
    return seek(int(TableInfo::Query::Next), found); // past the last row: AtEOF, and no failure
}

Status Recordset::RecordCount(qint64& count) const
{
    count = 0;
    Statement* statement = nullptr;
    if (Status s = m_info->query(m_db, TableInfo::Query::Count, statement); !s)
        return s;
    ResetOnExit resetter(statement);
    bool hasRow = false;
    if (Status s = statement->step(hasRow); !s)
        return s;
    if (hasRow)
        count = statement->columnInt64(0);
    return {};
}

Status Recordset::moveTo(qint64 rowid)
{
    bool found = false;
    if (Status s = readRow(rowid, found); !s)
        return s;
    if (!found)
        return Status::failure(ErrNoCurrentRecord,
                               QStringLiteral("The table %1 has no row %2.").arg(m_table).arg(rowid));
    CancelUpdate();
    m_firstPending = false;
    m_current = rowid;
    m_hasCurrent = true;
    return {};
}

Status Recordset::readRow(qint64 rowid, bool& found)
{
    found = false;
    m_loaded = false;
    Statement* statement = nullptr;
    if (Status s = m_info->query(m_db, TableInfo::Query::Row, statement); !s)
        return s;
    ResetOnExit resetter(statement);
    if (Status s = statement->bindInt64(1, rowid); !s)
        return s;
    if (Status s = statement->step(found); !s)
        return s;
    if (!found)
        return {};
    m_row.resize(std::size_t(m_columns.size()));
    for (std::size_t i = 0; i < m_row.size(); ++i)
        m_row[i] = statement->column(int(i) + 1); // column 0 is the rowid
    m_loaded = true;
    m_loadedAtChange = m_db.changeCount();
    return {};
}

Status Recordset::loadCurrent()
{
    // A row read before this connection last changed anything may be out of date: any
    // recordset of the workspace may have stored it since.
    if (m_loaded && m_loadedAtChange == m_db.changeCount())
        return {};
    bool found = false;
    if (Status s = readRow(m_current, found); !s)
        return s;
    if (!found)
        return Status::failure(ErrNoCurrentRecord,
                               QStringLiteral("The current row of %1 no longer exists.").arg(m_table));
    return {};
}

void Recordset::startEdit(EditMode mode)
{
    m_editMode = mode;
    m_buffer.resize(std::size_t(m_columns.size()));
    std::fill(m_dirty.begin(), m_dirty.end(), 0);
}

Status Recordset::AddNew()
{
    if (m_readOnly)
        return Status::failure(ErrReadOnly,
                               QStringLiteral("The table %1 was opened read-only.").arg(m_table));
    // The row that is current now stays current after the Update.
    if (Status s = settle(); !s)
        return s;
    startEdit(EditMode::Adding);
    return {};
}

Status Recordset::Edit()
{
    if (m_readOnly)
        return Status::failure(ErrReadOnly,
                               QStringLiteral("The table %1 was opened read-only.").arg(m_table));
    if (Status s = settle(); !s)
        return s;
    if (!m_hasCurrent)
        return noCurrentRow();
    startEdit(EditMode::Editing);
    return {};
}

void Recordset::CancelUpdate()
{
    m_editMode = EditMode::None;
}

Status Recordset::Update()
{
    const EditMode mode = std::exchange(m_editMode, EditMode::None);
    if (mode == EditMode::None)
        return Status::failure(ErrUpdateWithoutEdit, QStringLiteral("Update without AddNew or Edit."));
    m_loaded = false;
    const bool anyDirty = std::any_of(m_dirty.begin(), m_dirty.end(), [](quint64 word) { return word != 0; });
    if (mode == EditMode::Editing && !anyDirty) {
        m_lastModified = m_current;
        return {};
    }

    Statement* statement = nullptr;
    Status s = mode == EditMode::Adding ? m_info->insert(m_db, m_dirty, statement)
                                        : m_info->update(m_db, m_dirty, statement);
    if (!s)
        return s;
    ResetOnExit resetter(statement);
    int parameter = 0;
    for (std::size_t i = 0; i < m_buffer.size(); ++i) {
        if (TableInfo::contains(m_dirty, int(i))) {
            if (s = statement->bind(++parameter, m_buffer[i]); !s)
                return s;
        }
    }
    if (mode == EditMode::Editing) {
        if (s = statement->bindInt64(++parameter, m_current); !s)
            return s;
    }
    if (s = statement->run(); !s)
        return s;

    if (mode == EditMode::Adding) {
        m_lastModified = m_db.lastInsertRowid();
    } else {
        if (m_db.changes() == 0)
            return Status::failure(
                ErrNoCurrentRecord,
                QStringLiteral("The row of %1 being edited no longer exists.").arg(m_table));
        m_lastModified = m_current;
    }
    return {};
}

Status Recordset::value(QLatin1StringView field, QVariant& out)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return noField(field);
    if (m_editMode != EditMode::None && TableInfo::contains(m_dirty, index)) {
        out = m_buffer[std::size_t(index)];
        return {};
    }
    if (m_editMode == EditMode::Adding) {
        out = QVariant();
        return {};
    }
    if (Status s = settle(); !s)
        return s;
    if (!m_hasCurrent)
        return noCurrentRow();
    if (Status s = loadCurrent(); !s)
        return s;
    out = m_row[std::size_t(index)];
    return {};
}

Status Recordset::setValue(QLatin1StringView field, const QVariant& value)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return noField(field);
    if (m_editMode == EditMode::None)
        return Status::failure(ErrUpdateWithoutEdit,
                               QStringLiteral("A field can be set only after AddNew or Edit."));
    m_buffer[std::size_t(index)] = value;
    m_dirty[std::size_t(index) / 64] |= quint64(1) << (index % 64);
    return {};
}

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
        m_loaded = false;
    }
    return {};
}

Status Recordset::scanField(QLatin1StringView field,
                            const std::function<void(qint64 rowid, const QVariant& value)>& visit)
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
        visit(statement.columnInt64(0), statement.column(1));
    }
}

} // namespace brevik::db
