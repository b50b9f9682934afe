#include "textlist.h"

namespace brevik::ui {

TextListModel::TextListModel(QObject* parent)
    : QAbstractListModel(parent)
{}

int TextListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant TextListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return text(index.row());
}

int TextListModel::count() const
{
    return static_cast<int>(m_ends.size());
}

QString TextListModel::text(int row) const
{
    if (row < 0 || row >= count())
        return {};
    const qsizetype begin = row == 0 ? 0 : m_ends[static_cast<std::size_t>(row) - 1];
    const qsizetype end = m_ends[static_cast<std::size_t>(row)];
    return QString::fromUtf8(QByteArrayView(m_bytes).sliced(begin, end - begin));
}

void TextListModel::append(const QStringList& rows)
{
    if (rows.isEmpty())
        return;
    const int first = count();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(rows.size()) - 1);
    m_ends.reserve(m_ends.size() + static_cast<std::size_t>(rows.size()));
    for (const QString& row : rows) {
        m_bytes.append(row.toUtf8());
        m_ends.push_back(m_bytes.size());
    }
    endInsertRows();
}

void TextListModel::clear()
{
    beginResetModel();
    m_bytes = QByteArray();
    m_ends = {};
    endResetModel();
}

TextList::TextList(QWidget* parent)
    : QListView(parent)
    , m_rows(new TextListModel(this))
{
    setModel(m_rows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

int TextList::count() const
{
    return m_rows->count();
}

QString TextList::text(int row) const
{
    return m_rows->text(row);
}

void TextList::addItems(const QStringList& rows)
{
    m_rows->append(rows);
}

void TextList::clear()
{
    m_rows->clear();
}

QRect TextList::rowRect(int row) const
{
    return visualRect(m_rows->index(row));
}

} // namespace brevik::ui
