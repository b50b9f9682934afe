#include "folderlist.h"

namespace brevik::ui {

FolderList::FolderList(QWidget* parent)
    : QListWidget(parent)
{}

bool FolderList::setPath(const QString& path)
{
    m_path = path;
    Q_EMIT pathChanged(m_path);
    return true;
}

} // namespace brevik::ui
