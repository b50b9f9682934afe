#include "replacingfile.h"

#include "import/export/otherwriters.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace brevik {
namespace {

// A file left by a run that was stopped before its commit is removed by a later run once it
// is this old; a younger one may belong to a run still writing.
constexpr qint64 StaleSeconds = 24 * 60 * 60;

std::filesystem::path filesystemPath(const QString& path)
{
    return std::filesystem::path(path.toStdU16String());
}

QString ownFileName(const QString& path, quint32 tag)
{
    return path + QStringLiteral(".%1.tmp").arg(tag, 8, 16, QLatin1Char('0'));
}

void removeStaleFiles(const QString& path)
{
    const QFileInfo target(path);
    const QRegularExpression ours(u'^' + QRegularExpression::escape(target.fileName()) +
                                  QStringLiteral("\\.[0-9a-f]{8}\\.tmp$"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList found = target.absoluteDir().entryInfoList(
        {target.fileName() + QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& file : found) {
        if (ours.match(file.fileName()).hasMatch() && file.lastModified().toUTC().secsTo(now) > StaleSeconds)
            QFile::remove(file.filePath());
    }
}

#ifdef Q_OS_UNIX
// The new file keeps the mode of the file it replaces only where that is an ordinary file of
// the running user's own, never one a link leads to: a file that another user put there must
// not choose who may write to the new one. Otherwise it has the usual mode under the umask.
// Either way no user that the strip would not trust may write to it: not every user, nor a
// group the running user does not belong to.
void settleMode(int descriptor, const QString& earlierPath)
{
    struct stat made = {};
    if (::fstat(descriptor, &made) != 0)
        return;
    mode_t mode = made.st_mode & 0777;
    struct stat earlier = {};
    if (::lstat(QFile::encodeName(earlierPath).constData(), &earlier) == 0 && S_ISREG(earlier.st_mode) &&
        earlier.st_uid == ::geteuid())
        mode = earlier.st_mode & 0777;
    mode &= ~mode_t(S_IWOTH);
    if (!isOwnGroup(made.st_gid))
        mode &= ~mode_t(S_IWGRP);
    if (mode != (made.st_mode & 0777))
        (void)::fchmod(descriptor, mode);
}
#else
void settleMode(QFile& file, const QString& earlierPath)
{
    const QFileInfo earlier(earlierPath);
    if (earlier.exists() && earlier.isFile())
        file.setPermissions(earlier.permissions());
}
#endif

} // namespace

ReplacingFile::ReplacingFile(QString path)
    : m_path(std::move(path))
{}

ReplacingFile::~ReplacingFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_committed && !m_file.fileName().isEmpty())
        m_file.remove();
}

bool ReplacingFile::open()
{
    removeStaleFiles(m_path);
    // A name that no other file has, so that nothing is ever written over but the final file.
    for (int attempt = 0; attempt < 16; ++attempt) {
        m_file.setFileName(ownFileName(m_path, QRandomGenerator::global()->generate()));
        if (m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered)) {
#ifdef Q_OS_UNIX
            settleMode(m_file.handle(), m_path);
#else
            settleMode(m_file, m_path);
#endif
            return true;
        }
        if (m_file.exists())
            continue;
        break;
    }
    m_error = m_file.errorString();
    m_file.setFileName(QString());
    return false;
}

bool ReplacingFile::writeThrough()
{
    if (!m_file.isOpen())
        return false;
#ifdef Q_OS_WIN
    const bool synced = ::_commit(m_file.handle()) == 0;
#else
    int result = 0;
    do
        result = ::fsync(m_file.handle());
    while (result != 0 && errno == EINTR);
    const bool synced = result == 0;
#endif
    if (!synced)
        m_error = errno == ENOSPC ? QStringLiteral("the disk is full")
                                  : QString::fromLocal8Bit(std::strerror(errno));
    return synced;
}

bool ReplacingFile::commit()
{
    if (!m_file.isOpen())
        return false;
    m_file.close();
    if (m_file.error() != QFileDevice::NoError) {
        m_error = m_file.errorString();
        return false;
    }
    std::error_code failed;
    std::filesystem::rename(filesystemPath(m_file.fileName()), filesystemPath(m_path), failed);
    if (failed) {
        m_error = QString::fromStdString(failed.message());
        return false;
    }
    m_committed = true;
    return true;
}

bool writeAll(QIODevice& device, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const qint64 written = device.write(bytes.data(), bytes.size());
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

QString writeFailure(const QIODevice& device)
{
    // Qt reports a disk without room as a resource error, and only that when writing.
    if (const auto* file = qobject_cast<const QFileDevice*>(&device);
        file && file->error() == QFileDevice::ResourceError)
        return QStringLiteral("the disk is full");
    return device.errorString();
}

} // namespace brevik
