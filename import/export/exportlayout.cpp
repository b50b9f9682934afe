#include "exportlayout.h"

#include <algorithm>
#include <iterator>

namespace brevik {

void ExportLayout::setColumnsFrom(qint64 row, const ExportColumns& columns)
{
    while (!m_changes.empty() && m_changes.back().firstRow >= row)
        m_changes.pop_back();
    if (columns != columnsOf(row))
        m_changes.push_back({row, columns});
}

const ExportColumns& ExportLayout::columnsOf(qint64 row) const
{
    static constexpr ExportColumns Designed;
    // The last change at or before the row.
    const auto after =
        std::upper_bound(m_changes.begin(), m_changes.end(), row,
                         [](qint64 r, const ColumnsFrom& change) { return r < change.firstRow; });
    return after == m_changes.begin() ? Designed : std::prev(after)->columns;
}

} // namespace brevik
