#include "regularfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brevik {
namespace {

QString notAFile(bool folder)
{
    return folder ? QStringLiteral("it is a folder, not a file")
                  : QStringLiteral("it is not an ordinary file but a pipe or a device, which this program "
                                   "does not read");
}

} // namespace

#ifdef Q_OS_UNIX
bool openRegularFile(QFile& file, QString& why)
{
    // Opened without waiting and judged by the descriptor itself, so that nothing put in the
    // file's place between a look and the opening can hold the program up.
    const QByteArray name = QFile::encodeName(file.fileName());
    int fd = -1;
    do
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat status = {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        why = notAFile(S_ISDIR(status.st_mode));
        ::close(fd);
        return false;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0)
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}
#else
bool openRegularFile(QFile& file, QString& why)
{
    const QFileInfo info(file.fileName());
    if (info.exists() && !info.isFile()) {
        why = notAFile(info.isDir());
        return false;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return false;
    }
    return true;
}
#endif

} // namespace brevik
