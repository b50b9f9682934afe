#include "artwork.h"

namespace brevik::ui {

QIcon windowIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/brevik/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/brevik/icon16.png"), QSize(16, 16));
    return icon;
}

QPixmap artworkPixmap(const QString& resource)
{
    return QPixmap(resource);
}

} // namespace brevik::ui
