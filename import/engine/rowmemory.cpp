#include "rowmemory.h"

#include "database.h"
#include "statement.h"
#include "tableinfo.h"
#include "utf8.h"

#include <QVarLengthArray>

#include <cstring>

namespace brevik::db {

void RowMemory::forget()
{
    m_positionEpoch = 0;
    m_loaded = false;
}

bool RowMemory::positionKnown() const
{
    return m_positionEpoch != 0 && m_table.rowsStable() && m_positionEpoch == m_db.rowsEpoch();
}

void RowMemory::notePosition() const
{
    m_positionEpoch = m_table.rowsStable() ? m_db.rowsEpoch() : 0;
}

bool RowMemory::knownLastRow(bool& any, qint64& rowid) const
{
    const TableInfo::LastRow& last = m_table.lastRow;
    if (!m_table.rowsStable() || last.epoch == 0 || last.epoch != m_db.rowsEpoch())
        return false;
    any = last.any;
    rowid = last.rowid;
    m_positionEpoch = last.epoch;
    return true;
}

void RowMemory::noteLastRow(bool any, qint64 rowid)
{
    if (m_table.rowsStable())
        m_table.lastRow = {m_db.rowsEpoch(), any, rowid};
}

void RowMemory::noteAdded(quint64 epoch, qint64 rowid)
{
    TableInfo::LastRow& last = m_table.lastRow;
    if (last.epoch != epoch)
        return;
    if (!last.any || rowid > last.rowid)
        last.rowid = rowid;
    last.any = true;
}

void RowMemory::keepRow(const Statement& row, std::size_t fields)
{
    m_cells.resize(fields);
    m_rowBytes.resize(0);
    for (std::size_t i = 0; i < m_cells.size(); ++i) {
        const int column = int(i) + 1; // column 0 is the rowid
        Cell& cell = m_cells[i];
        cell.type = int(row.columnType(column));
        switch (Statement::ColumnType(cell.type)) {
        case Statement::ColumnType::Integer:
            cell.integer = row.columnInt64(column);
            break;
        case Statement::ColumnType::Float:
            cell.real = row.columnDouble(column);
            break;
        case Statement::ColumnType::Text:
        case Statement::ColumnType::Blob: {
            const QByteArrayView bytes = row.columnBytes(column);
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
}

bool RowMemory::rowCurrent() const
{
    return m_loaded && m_loadedAtChange == m_db.changeCount();
}

QVariant RowMemory::cell(std::size_t index) const
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

bool RowMemory::holdsAlready(std::size_t index, const QVariant& value) const
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

} // namespace brevik::db
