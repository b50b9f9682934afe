#pragma once

#include "import/writer/clientwriter.h"
#include "import/writer/customerlist.h"

#include <QAbstractTableModel>

#include <vector>

namespace brevik::ui {

// The customers of a plan or a report as a table: row, name, action, client and notes, the
// columns and words of the tool's list. The rows are held once, in the model; a view shows only
// those in sight, so that a list of a hundred thousand customers stays quick.
class CustomerTableModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit CustomerTableModel(Tense tense, QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex& parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation,
                                      int role = Qt::DisplayRole) const override;

    // Adds customers at the end of the list.
    void append(std::vector<CustomerRecord>&& records);
    void clear();

    [[nodiscard]] const std::vector<CustomerRecord>& records() const { return m_records; }

private:
    Tense m_tense;
    std::vector<CustomerRecord> m_records;
};

} // namespace brevik::ui
