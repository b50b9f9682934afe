#include "drives.h"

#include <QFileInfo>
#include <QStorageInfo>

namespace brevik {
namespace {

QStringList& volumeRootsOverride()
{
    static QStringList roots;
    return roots;
}

// Whether root holds path: the same folder, or path lies below it.
bool volumeHolds(const QString& root, const QString& path)
{
    if (root.isEmpty() || !path.startsWith(root))
        return false;
    return path.size() == root.size() || root.endsWith(u'/') || path.at(root.size()) == u'/';
}

} // namespace

PathStyle nativePathStyle()
{
#ifdef Q_OS_WIN
    return PathStyle::DriveLetters;
#else
    return PathStyle::SingleRoot;
#endif
}

QString noFolderSelected()
{
    return QStringLiteral("No Folder Selected");
}

bool isValidFolder(const QString& value, PathStyle style)
{
    if (value.isEmpty() || value == noFolderSelected())
        return false;
    if (style == PathStyle::DriveLetters)
        return value.contains(u':');
    return value.startsWith(u'/');
}

QString driveOf(const QString& value, PathStyle style, const QStringList& volumeRoots)
{
    if (style == PathStyle::DriveLetters) {
        const qsizetype colon = value.indexOf(u':');
        return colon < 0 ? QString() : value.left(colon + 1);
    }
    QString best;
    for (const QString& root : volumeRoots)
        if (root.size() > best.size() && volumeHolds(root, value))
            best = root;
    return best;
}

QString driveOf(const QString& value)
{
    const PathStyle style = nativePathStyle();
    return driveOf(value, style, style == PathStyle::DriveLetters ? QStringList() : mountedVolumeRoots());
}

QStringList mountedVolumeRoots()
{
    if (!volumeRootsOverride().isEmpty())
        return volumeRootsOverride();
    QStringList roots;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        // Single files bound into the tree are volumes too, but no folder lives on them.
        if (volume.isValid() && QFileInfo(volume.rootPath()).isDir() && !roots.contains(volume.rootPath()))
            roots.append(volume.rootPath());
    }
    return roots;
}

void setVolumeRootsForTesting(const QStringList& roots)
{
    volumeRootsOverride() = roots;
}

} // namespace brevik
