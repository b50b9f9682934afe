#include "artwork.h"

// The resources are compiled into the static window library, where nothing would otherwise pull
// them into a program that links it; registering them here from code that every window reaches
// keeps them in the program and in the tests.
static void registerArtwork()
{
    Q_INIT_RESOURCE(artwork);
}

namespace brevik::ui {
namespace {

void ensureArtwork()
{
    static const bool registered = (registerArtwork(), true);
    Q_UNUSED(registered);
}

} // namespace

QIcon windowIcon()
{
    ensureArtwork();
    QIcon icon;
    icon.addFile(QStringLiteral(":/brevik/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/brevik/icon16.png"), QSize(16, 16));
    return icon;
}

QPixmap artworkPixmap(const QString& resource)
{
    ensureArtwork();
    return QPixmap(resource);
}

} // namespace brevik::ui
