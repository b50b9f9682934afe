#pragma once

#include <QString>
#include <QStringList>

namespace brevik {

// How folder paths are written: with drive letters ("C:\Orvella") or from one root ("/srv/orvella").
enum class PathStyle
{
    DriveLetters,
    SingleRoot,
};
[[nodiscard]] PathStyle nativePathStyle();

// The field's text while no folder has been chosen.
[[nodiscard]] QString noFolderSelected();

// Whether a value names a folder that can be shown and saved: with drive letters it holds a
// colon; otherwise it is an absolute path. The empty text and "No Folder Selected" never are.
[[nodiscard]] bool isValidFolder(const QString& value, PathStyle style = nativePathStyle());

// The drive that holds a valid value: with drive letters the text up to and including the
// first colon ("C:"); otherwise the longest of the volume roots that holds the path, or an
// empty text when none does.
[[nodiscard]] QString driveOf(const QString& value, PathStyle style, const QStringList& volumeRoots);
[[nodiscard]] QString driveOf(const QString& value);

// The root folders of the mounted volumes of the machine, in the order the system lists them.
// Tests put a list of their own in place of the machine's; an empty list restores it.
[[nodiscard]] QStringList mountedVolumeRoots();
void setVolumeRootsForTesting(const QStringList& roots);

} // namespace brevik
