#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QString>
#include <QStringList>

#include <vector>

namespace brevik::ui {

// The rows of a text list, held as UTF-8 in one buffer with the offset of each row, and turned
// into text only for the rows the view asks for. A list of many thousand rows costs little more
// than its bytes, where an item object per row costs several hundred bytes each.
class TextListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit TextListModel(QObject* parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex& index, int role) const override;

    [[nodiscard]] int count() const;
    [[nodiscard]] QString text(int row) const;
    void append(const QStringList& rows);
    void clear();

private:
    QByteArray m_bytes;
    std::vector<qsizetype> m_ends;
};

// The platform's list box: one line of text per row, scrolled up and down, each row read only
// when it is painted.
class TextList final : public QListView
{
    Q_OBJECT

public:
    explicit TextList(QWidget* parent = nullptr);

    [[nodiscard]] int count() const;
    [[nodiscard]] QString text(int row) const;
    void addItems(const QStringList& rows);
    void clear();
    // Where the row stands in the view's own coordinates.
    [[nodiscard]] QRect rowRect(int row) const;

private:
    TextListModel* m_rows;
};

} // namespace brevik::ui
