#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <csignal>

#ifdef Q_OS_LINUX
#include <linux/capability.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace brevik::testing {

// While it lives, the calling thread obeys file permissions even when the tests run as root:
// root's right to override them is set aside and given back at the end. Without it a folder
// made read-only still takes new files from root.
class ObeyFilePermissions
{
public:
    ObeyFilePermissions()
    {
#ifdef Q_OS_LINUX
        if (geteuid() != 0)
            return;
        if (syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_dropped = syscall(SYS_capset, &m_header, reduced) == 0;
#endif
    }
    ObeyFilePermissions(const ObeyFilePermissions&) = delete;
    ObeyFilePermissions& operator=(const ObeyFilePermissions&) = delete;
    ~ObeyFilePermissions()
    {
#ifdef Q_OS_LINUX
        if (m_dropped)
            syscall(SYS_capset, &m_header, m_saved);
#endif
    }

    // Whether a folder without write permission now refuses a new file.
    [[nodiscard]] static bool holdsFor(const QString& readOnlyFolder)
    {
        QFile probe(QDir(readOnlyFolder).filePath(QStringLiteral("probe")));
        if (!probe.open(QIODevice::WriteOnly))
            return true;
        probe.close();
        probe.remove();
        return false;
    }

private:
#ifdef Q_OS_LINUX
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
#endif
    bool m_dropped = false;
};

// While it lives, no file this process writes may grow beyond the limit: writes beyond it
// fail as they would on a full disk.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(qint64 bytes)
    {
#ifdef Q_OS_LINUX
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &m_saved) != 0)
            return;
        rlimit limit = m_saved;
        limit.rlim_cur = static_cast<rlim_t>(bytes);
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
#else
        (void)bytes;
#endif
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit()
    {
#ifdef Q_OS_LINUX
        if (m_set)
            setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
#endif
    }

    [[nodiscard]] bool active() const
    {
        return m_set;
    }

private:
#ifdef Q_OS_LINUX
    rlimit m_saved{};
    void (*m_handler)(int) = SIG_DFL;
#endif
    bool m_set = false;
};

// While it lives, a disk of the given size in memory is mounted on the folder, to fill up as a
// real disk does: writes beyond it fail with the system's "no space left". Mounting takes root.
class SmallDisk
{
public:
    SmallDisk(const QString& folder, qint64 bytes)
        : m_folder(QFile::encodeName(folder))
    {
#ifdef Q_OS_LINUX
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted =
            ::mount("tmpfs", m_folder.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) == 0;
#else
        (void)bytes;
#endif
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    ~SmallDisk()
    {
#ifdef Q_OS_LINUX
        if (m_mounted)
            ::umount2(m_folder.constData(), MNT_DETACH);
#endif
    }

    [[nodiscard]] bool active() const
    {
        return m_mounted;
    }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// The files of a folder, by name, without the folder's own entries.
inline QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace brevik::testing
