#include "standardinput.h"

#include "import/paths.h"
#include "tools/interruptrequests.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <poll.h>
#include <unistd.h>
#else
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#endif

namespace brevik::tool {
namespace {

constexpr qsizetype Chunk = 64 * 1024;
#ifdef Q_OS_UNIX
// How long a wait for input lasts before a signal that came is looked at.
constexpr int WaitMs = 200;
#endif

// Reads the next bytes of standard input: their number, 0 at its end, -1 with errno on failure.
// A signal that comes ends the reading: -1 with EINTR.
qint64 readStandardInput(char* buffer, qsizetype size)
{
#ifdef Q_OS_UNIX
    for (;;) {
        if (InterruptRequests::requested()) {
            errno = EINTR;
            return -1;
        }
        // A wait on a terminal or an idle pipe would otherwise outlast the signal: the handler
        // has reads taken up again.
        pollfd input{STDIN_FILENO, POLLIN, 0};
        const int ready = ::poll(&input, 1, WaitMs);
        if (ready < 0 && errno != EINTR)
            return -1;
        if (ready <= 0)
            continue;
        const ssize_t read = ::read(STDIN_FILENO, buffer, std::size_t(size));
        if (read >= 0 || errno != EINTR)
            return read;
    }
#else
    const std::size_t read = std::fread(buffer, 1, std::size_t(size), stdin);
    if (read == 0 && std::ferror(stdin))
        return -1;
    return qint64(read);
#endif
}

} // namespace

StandardInputCopy::~StandardInputCopy()
{
    InterruptRequests::removeWhenEndedAtOnce(QString(), QString());
}

bool StandardInputCopy::make(Reporter& reporter)
{
    const QString temporary = QDir::tempPath();
    m_folder.emplace(QDir(temporary).filePath(QStringLiteral("brevik-stdin-XXXXXX")));
    if (!m_folder->isValid()) {
        reporter.report(
            QStringLiteral("The export on standard input cannot be copied: no folder of its own can "
                           "be made in %1: %2.")
                .arg(displayPath(temporary), clause(m_folder->errorString())));
        return false;
    }
    m_path = QDir(m_folder->path()).filePath(QStringLiteral("export.iif"));
    InterruptRequests::removeWhenEndedAtOnce(m_path, m_folder->path());
    QFile copy(m_path);
    const auto cannotCopy = [&](const QString& why) {
        reporter.report(QStringLiteral("The export on standard input cannot be copied to %1: %2.")
                            .arg(displayPath(m_path), clause(why)));
        return false;
    };
    if (!copy.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return cannotCopy(copy.errorString());
#ifdef Q_OS_WIN
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    QByteArray buffer(Chunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = readStandardInput(buffer.data(), buffer.size());
        if (read == 0)
            break;
        if (read < 0 && InterruptRequests::requested()) {
            reporter.report(QStringLiteral("The run was interrupted while it read the export on standard "
                                           "input: nothing was done."));
            return false;
        }
        if (read < 0) {
            reporter.report(QStringLiteral("The export on standard input could not be read: %1.")
                                .arg(clause(QString::fromLocal8Bit(std::strerror(errno)))));
            return false;
        }
        if (copy.write(buffer.constData(), read) != read)
            return cannotCopy(copy.errorString());
    }
    if (!copy.flush())
        return cannotCopy(copy.errorString());
    return true;
}

QString namedAsStandardInput(QString text, const QString& copy)
{
    return text.replace(displayPath(copy), QStringLiteral("standard input"));
}

} // namespace brevik::tool
