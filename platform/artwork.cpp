#include "artwork.h"

#include <QGuiApplication>

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
    // Each size at twice its pixels too, which a screen of twice the density takes.
    icon.addFile(QStringLiteral(":/brevik/icon32@2x.png"), QSize(64, 64));
    icon.addFile(QStringLiteral(":/brevik/icon32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/brevik/icon16@2x.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/brevik/icon16.png"), QSize(16, 16));
    return icon;
}

QPixmap artworkPixmap(const QString& resource)
{
    ensureArtwork();
    // On a screen of more than one pixel to the point the picture drawn at twice the size is
    // taken, where there is one, so that it is neither blurred nor blocky; it keeps the size in
    // points of the picture it stands for.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        const QString twice = QString(resource).replace(QStringLiteral(".png"), QStringLiteral("@2x.png"));
        QPixmap sharp(twice);
        if (!sharp.isNull()) {
            sharp.setDevicePixelRatio(2.0);
            return sharp;
        }
    }
    return QPixmap(resource);
}

} // namespace brevik::ui
