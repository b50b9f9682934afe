#include "customertablemodel.h"

#include <iterator>

namespace brevik::ui {
namespace {

enum Column
{
    RowColumn,
    NameColumn,
    ActionColumn,
    ClientColumn,
    NotesColumn,
    ColumnCount,
};

} // namespace

CustomerTableModel::CustomerTableModel(Tense tense, QObject* parent)
    : QAbstractTableModel(parent)
    , m_tense(tense)
{}

int CustomerTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_records.size());
}

int CustomerTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CustomerTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const CustomerRecord& record = m_records[static_cast<std::size_t>(index.row())];
    if (role == Qt::TextAlignmentRole && index.column() == RowColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    switch (index.column()) {
    case RowColumn:
        return QString::number(record.row);
    case NameColumn:
        return record.name;
    case ActionColumn:
        return actionOf(record.outcome, m_tense);
    case ClientColumn:
        return record.clientNumber;
    case NotesColumn:
        return notesOf(record).join(QStringLiteral("; "));
    default:
        return {};
    }
}

QVariant CustomerTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case RowColumn:
        return QStringLiteral("Row");
    case NameColumn:
        return QStringLiteral("Name");
    case ActionColumn:
        return QStringLiteral("Action");
    case ClientColumn:
        return QStringLiteral("Client");
    case NotesColumn:
        return QStringLiteral("Notes");
    default:
        return {};
    }
}

void CustomerTableModel::append(std::vector<CustomerRecord>&& records)
{
    if (records.empty())
        return;
    const int first = rowCount();
    beginInsertRows({}, first, first + static_cast<int>(records.size()) - 1);
    m_records.insert(m_records.end(), std::make_move_iterator(records.begin()),
                     std::make_move_iterator(records.end()));
    endInsertRows();
    records.clear();
}

void CustomerTableModel::clear()
{
    beginResetModel();
    m_records.clear();
    endResetModel();
}

} // namespace brevik::ui
