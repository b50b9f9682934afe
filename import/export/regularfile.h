#pragma once

#include <QString>

class QFile;

namespace brevik {

// Opens the file for reading only when it is an ordinary file, links followed. A named pipe,
// a device or a folder is refused at once: opening a pipe for reading waits until something
// writes to it, which may be never. On failure the file stays closed and why holds the reason
// in words, without a full stop. On Unix the file is opened through its descriptor, so the
// open file's fileName() is empty: callers name the file from the path they hold.
[[nodiscard]] bool openRegularFile(QFile& file, QString& why);

} // namespace brevik
