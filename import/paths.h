#pragma once

#include <QString>

namespace brevik {

// Joins a folder and a file name the way the program always has: folder, separator, name.
// The separator is "\" on Windows and "/" elsewhere; an empty folder gives the name at the
// root ("\QBCUST.TXT"). The folder is taken as it stands, without tidying.
[[nodiscard]] QString joinFolderAndFile(const QString& folder, const QString& fileName);

// The path as the operator knows it, for messages.
[[nodiscard]] QString displayPath(const QString& path);

} // namespace brevik
