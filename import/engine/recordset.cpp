#include "recordset.h"

#include "database.h"
#include "statement.h"
#include "tableinfo.h"
#include "utf8.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
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

void Recordset::reopen()
{
    m_firstPending = true;
    m_hasCurrent = false;
    m_current = 0;
    m_lastModified = -1;
    m_positionEpoch = 0;
    m_loaded = false;
    m_editMode = EditMode::None;
}

// Within one transaction of ours, and with no change that a recordset has not accounted for,
// a row that was seen is still there: no other program can write, and our own writes never
// remove a row of a table whose rows are stable.
bool Recordset::positionKnown() const
{
    return m_positionEpoch != 0 && m_info->rowsStable() && m_positionEpoch == m_db.rowsEpoch();
}

void Recordset::notePosition() const
{
    m_positionEpoch = m_info->rowsStable() ? m_db.rowsEpoch() : 0;
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
    notePosition();
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
    notePosition();
    if (which == TableInfo::Query::Last && m_info->rowsStable())
        m_info->lastRow = {m_db.rowsEpoch(), found, m_current};
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
    const TableInfo::LastRow& last = m_info->lastRow;
    if (m_info->rowsStable() && last.epoch != 0 && last.epoch == m_db.rowsEpoch()) {
        // The writer moves to the last row several times for every customer; within one
        // transaction the last row is known without asking.
        CancelUpdate();
        m_loaded = m_loaded && m_hasCurrent && last.any && m_current == last.rowid;
        m_firstPending = false;
        m_hasCurrent = last.any;
        m_current = last.rowid;
        m_positionEpoch = last.epoch;
        found = last.any;
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
    if (!m_firstPending && m_hasCurrent && m_current == rowid && positionKnown()) {
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
    notePosition();
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
    m_cells.resize(std::size_t(m_columns.size()));
    m_rowBytes.resize(0);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const int column = int(i) + 1; // column 0 is the rowid
        Cell& cell = m_cells[i];
        cell.type = int(statement->columnType(column));
        switch (Statement::ColumnType(cell.type)) {
        case Statement::ColumnType::Integer:
            cell.integer = statement->columnInt64(column);
            break;
        case Statement::ColumnType::Float:
            cell.real = statement->columnDouble(column);
            break;
        case Statement::ColumnType::Text:
        case Statement::ColumnType::Blob: {
            const QByteArrayView bytes = statement->columnBytes(column);
            cell.offset = m_rowBytes.size();
            cell.size = bytes.size();
            m_rowBytes.append(bytes);
            break;
        }
        case Statement::ColumnType::Null:
            break;
        }
    }
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
    notePosition();
    return {};
}

// Whether storing the value would leave the field as it is: the same storage class and the
// same bytes as the database holds. Anything in doubt counts as a change.
bool Recordset::holdsAlready(std::size_t index, const QVariant& value) const
{
    const Cell& c = m_cells[index];
    const auto type = Statement::ColumnType(c.type);
    if (!value.isValid() || value.isNull())
        return type == Statement::ColumnType::Null;
    if (Statement::isSignedWholeNumber(value.typeId()))
        return type == Statement::ColumnType::Integer && c.integer == value.toLongLong();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return type == Statement::ColumnType::Integer && c.integer == (value.toBool() ? 1 : 0);
    case QMetaType::QString: {
        if (type != Statement::ColumnType::Text)
            return false;
        const QString& text = *static_cast<const QString*>(value.constData());
        // Every UTF-16 unit takes one to three bytes.
        if (c.size < text.size() || c.size > 3 * text.size())
            return false;
        QVarLengthArray<char, 256> utf8(text.size() * 3);
        const qsizetype size = writeUtf8(text, utf8.data()) - utf8.data();
        return size == c.size &&
               std::memcmp(utf8.data(), m_rowBytes.constData() + c.offset, std::size_t(size)) == 0;
    }
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return type == Statement::ColumnType::Blob && bytes.size() == c.size &&
               std::memcmp(bytes.constData(), m_rowBytes.constData() + c.offset, std::size_t(c.size)) == 0;
    }
    default:
        return false;
    }
}

// A field set to what it already holds is left out of the UPDATE, so that an unchanged name
// costs no rewrite of the indexes on it. Only a row read in this transaction, with nothing
// written since, is compared; and never where a trigger could tell the difference.
void Recordset::leaveOutUnchangedFields()
{
    if (!m_info->skipsUnchangedFields() || !m_loaded || m_loadedAtChange != m_db.changeCount() ||
        !positionKnown())
        return;
    for (std::size_t i = 0; i < m_buffer.size(); ++i) {
        if (TableInfo::contains(m_dirty, int(i)) && holdsAlready(i, m_buffer[i]))
            m_dirty[i / 64] &= ~(quint64(1) << (i % 64));
    }
}

QVariant Recordset::cell(std::size_t index) const
{
    const Cell& c = m_cells[index];
    // m_rowBytes never hands out a null pointer, so an empty text or blob stays empty, not null.
    const char* bytes = m_rowBytes.constData() + c.offset;
    switch (Statement::ColumnType(c.type)) {
    case Statement::ColumnType::Integer:
        return QVariant(c.integer);
    case Statement::ColumnType::Float:
        return QVariant(c.real);
    case Statement::ColumnType::Text:
        return QVariant(QString::fromUtf8(bytes, c.size));
    case Statement::ColumnType::Blob:
        return QVariant(QByteArray(bytes, c.size));
    case Statement::ColumnType::Null:
        break;
    }
    return QVariant();
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
        TableInfo::LastRow& last = m_info->lastRow;
        if (ownChange && last.epoch == epoch) {
            if (!last.any || m_lastModified > last.rowid)
                last.rowid = m_lastModified;
            last.any = true;
        }
    } else {
        if (m_db.changes() == 0) {
            m_positionEpoch = 0;
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
    if (index == m_info->rowidField() && positionKnown()) {
        out = QVariant(m_current); // the field is the rowid itself
        return {};
    }
    if (Status s = loadCurrent(); !s)
        return s;
    out = cell(std::size_t(index));
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
        notePosition();
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
