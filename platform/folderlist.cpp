#include "folderlist.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QStyle>
#include <QStyledItemDelegate>

namespace brevik::ui {
namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int LevelRole = Qt::UserRole + 1;
constexpr int IndentPixels = 10;

// Draws each row moved right by its level, icon and all.
class IndentDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem moved = option;
        moved.rect.adjust(index.data(LevelRole).toInt() * IndentPixels, 0, 0, 0);
        QStyledItemDelegate::paint(painter, moved, index);
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {size.width() + index.data(LevelRole).toInt() * IndentPixels, size.height()};
    }
};

QString fullPath(const QString& path)
{
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

// The folders from the root down to path itself.
QStringList foldersFromRoot(const QString& path)
{
    QStringList folders;
    QDir dir(path);
    folders.prepend(fullPath(dir.absolutePath()));
    while (!dir.isRoot() && dir.cdUp())
        folders.prepend(fullPath(dir.absolutePath()));
    return folders;
}

} // namespace

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
{
    setItemDelegate(new IndentDelegate(this));
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemDoubleClicked, this, &FolderList::open);
    setPath(QDir::currentPath());
}

QString FolderList::rowPath(const QListWidgetItem* row)
{
    return row ? row->data(PathRole).toString() : QString();
}

QListWidgetItem* FolderList::currentFolderRow() const
{
    return item(m_currentRow);
}

bool FolderList::setPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo folder(path);
    if (!folder.isDir() || !folder.isReadable() || !QDir(path).isReadable())
        return false;
    const QString full = fullPath(path);
    const bool changed = full != m_path;
    m_path = full;
    fill();
    if (changed)
        Q_EMIT pathChanged(m_path);
    return true;
}

void FolderList::fill()
{
    clear();
    const QIcon openIcon = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closedIcon = style()->standardIcon(QStyle::SP_DirClosedIcon);
    auto addRow = [this](const QIcon& icon, const QString& text, const QString& path, int level) {
        auto* row = new QListWidgetItem(icon, text, this);
        row->setData(PathRole, path);
        row->setData(LevelRole, level);
    };

    const QStringList chain = foldersFromRoot(m_path);
    for (int level = 0; level < chain.size(); ++level) {
        const QString& folder = chain.at(level);
        addRow(openIcon, level == 0 ? folder : QFileInfo(QDir::fromNativeSeparators(folder)).fileName(),
               folder, level);
    }
    m_currentRow = count() - 1;

    const QDir current(m_path);
    const QStringList subfolders =
        current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders)
        addRow(closedIcon, name, fullPath(current.filePath(name)), static_cast<int>(chain.size()));

    setCurrentRow(m_currentRow);
    scrollToCurrentFolder();
}

// The current folder in the middle: a step or two of its path above it, its subfolders below.
void FolderList::scrollToCurrentFolder()
{
    if (QListWidgetItem* row = currentFolderRow())
        scrollToItem(row, QAbstractItemView::PositionAtCenter);
}

void FolderList::showEvent(QShowEvent* event)
{
    QListWidget::showEvent(event);
    // Until the list is shown at its size, where the middle lies is not known.
    scrollToCurrentFolder();
}

void FolderList::open(const QListWidgetItem* row)
{
    const QString target = rowPath(row);
    if (target.isEmpty())
        return;
    // A folder that went away or cannot be read is not opened; the list shows what is there now.
    if (!setPath(target))
        fill();
}

void FolderList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        open(currentItem());
        return;
    }
    QListWidget::keyPressEvent(event);
}

} // namespace brevik::ui
