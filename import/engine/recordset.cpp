#include "recordset.h"

#include "database.h"
#include "statement.h"
#include "tableinfo.h"

#include <algorithm>
#include <utility>

namespace brevik::db {

namespace {

// The facts the connection keeps of the table, where they fit the fields asked for.
std::shared_ptr<TableInfo> tableFacts(Database& db, const QString& table, const QStringList& columns)
{
    std::shared_ptr<TableInfo> info;
    if (db.table(table, info).ok() && info->columns() == columns)
        return info;
    return std::make_shared<TableInfo>(table, columns);
}

} // namespace

Recordset::Recordset(Database& db, QString table, QStringList columns)
    : m_db(db)
    , m_info(tableFacts(db, table, columns))
    , m_table(std::move(table))
    , m_columns(std::move(columns))
    , m_memory(db, *m_info)
{
    m_dirty.assign((std::size_t(m_columns.size()) + 63) / 64, 0);
}

Recordset::Recordset(Database& db, std::shared_ptr<TableInfo> table)
    : m_db(db)
    , m_info(std::move(table))
    , m_table(m_info->name())
    , m_columns(m_info->columns())
    , m_memory(db, *m_info)
{
    m_dirty.assign((std::size_t(m_columns.size()) + 63) / 64, 0);
}

void Recordset::reopen()
{
    m_firstPending = true;
    m_hasCurrent = false;
    m_current = 0;
    m_lastModified = -1;
    m_memory.forget();
    m_editMode = EditMode::None;
}

int Recordset::fieldIndex(QLatin1StringView name) const
{
    return m_info->fieldIndex(name);
}

Status Recordset::noCurrentRow()
{
    return Status::failure(ErrNoCurrentRecord, QStringLiteral("There is no current row."));
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
    m_memory.notePosition();
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
    m_memory.forgetRow();
    m_firstPending = false;
    m_hasCurrent = found;
    if (found)
        m_current = statement->columnInt64(0);
    m_memory.notePosition();
    if (which == TableInfo::Query::Last)
        m_memory.noteLastRow(found, m_current);
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
    qint64 last = 0;
    if (m_memory.knownLastRow(found, last)) {
        // The writer moves to the last row several times for every customer; within one
        // transaction the last row is known without asking.
        CancelUpdate();
        if (!(m_hasCurrent && found && m_current == last))
            m_memory.forgetRow();
        m_firstPending = false;
        m_hasCurrent = found;
        m_current = last;
    } else if (Status s = seek(int(TableInfo::Query::Last), found); !s) {
        return s;
    }
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
    if (!m_firstPending && m_hasCurrent && m_current == rowid && m_memory.positionKnown()) {
        CancelUpdate();
        return {};
    }
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
    m_memory.notePosition();
    return {};
}

Status Recordset::readRow(qint64 rowid, bool& found)
{
    found = false;
    m_memory.forgetRow();
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
    m_memory.keepRow(*statement, std::size_t(m_columns.size()));
    return {};
}

Status Recordset::loadCurrent()
{
    // A row read before this connection last changed anything may be out of date: any
    // recordset of the workspace may have stored it since.
    if (m_memory.rowCurrent())
        return {};
    bool found = false;
    if (Status s = readRow(m_current, found); !s)
        return s;
    if (!found)
        return Status::failure(ErrNoCurrentRecord,
                               QStringLiteral("The current row of %1 no longer exists.").arg(m_table));
    m_memory.notePosition();
    return {};
}

// A field set to what it already holds is left out of the UPDATE, so that an unchanged name
// costs no rewrite of the indexes on it. Only a row read in this transaction, with nothing
// written since, is compared; and never where a trigger could tell the difference.
void Recordset::leaveOutUnchangedFields()
{
    if (!m_info->skipsUnchangedFields() || !m_memory.rowComparable())
        return;
    for (std::size_t i = 0; i < m_buffer.size(); ++i) {
        if (TableInfo::contains(m_dirty, int(i)) && m_memory.holdsAlready(i, m_buffer[i]))
            m_dirty[i / 64] &= ~(quint64(1) << (i % 64));
    }
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
    if (mode == EditMode::Editing)
        leaveOutUnchangedFields();
    m_memory.forgetRow();
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
    // Where the writer has asked that every change lie within a transaction, a transaction that
    // the engine ended after an earlier failure must not let this row be stored on its own.
    if (m_db.writesNeedTransaction() && !m_db.inTransaction())
        return Status::failure(ErrEngine,
                               QStringLiteral("The database gave up the transaction after a failure."));
    const quint64 epoch = m_db.rowsEpoch();
    const qint64 changesBefore = m_db.changeCount();
    if (s = statement->run(); !s)
        return s;

    // A write that changed one row, this one, keeps what every recordset knows of the rows;
    // one that also changed others (through a trigger, say), or that moved a row to another
    // rowid, makes them all ask again.
    const int rowidField = m_info->rowidField();
    const bool rowidSet = rowidField >= 0 && TableInfo::contains(m_dirty, rowidField);
    const bool ownChange =
        epoch != 0 && m_db.changeCount() == changesBefore + 1 && !(mode == EditMode::Editing && rowidSet);
    if (ownChange)
        m_db.acceptOwnChanges();

    if (mode == EditMode::Adding) {
        // A trigger may pass over the row (RAISE(IGNORE)) without an error: then nothing was
        // stored, and the last rowid the connection reports belongs to an earlier row.
        if (m_db.changes() == 0) {
            m_lastModified = -1;
            return Status::failure(
                ErrConstraint,
                QStringLiteral("The database stored no row in %1: a trigger passed over it.").arg(m_table));
        }
        m_lastModified = m_db.lastInsertRowid();
        if (ownChange)
            m_memory.noteAdded(epoch, m_lastModified);
    } else {
        if (m_db.changes() == 0) {
            m_memory.forgetPosition();
            return Status::failure(
                ErrNoCurrentRecord,
                QStringLiteral("The row of %1 being edited no longer exists.").arg(m_table));
        }
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
    if (index == m_info->rowidField() && m_memory.positionKnown()) {
        out = QVariant(m_current); // the field is the rowid itself
        return {};
    }
    if (Status s = loadCurrent(); !s)
        return s;
    out = m_memory.cell(std::size_t(index));
    return {};
}

Status Recordset::setValue(QLatin1StringView field, const QVariant& value)
{
    return setValue(field, QVariant(value));
}

Status Recordset::setValue(QLatin1StringView field, QVariant&& value)
{
    const int index = fieldIndex(field);
    if (index < 0)
        return noField(field);
    if (m_editMode == EditMode::None)
        return Status::failure(ErrUpdateWithoutEdit,
                               QStringLiteral("A field can be set only after AddNew or Edit."));
    m_buffer[std::size_t(index)] = std::move(value);
    m_dirty[std::size_t(index) / 64] |= quint64(1) << (index % 64);
    return {};
}

} // namespace brevik::db
