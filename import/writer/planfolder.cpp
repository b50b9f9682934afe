#include "planfolder.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace brevik {
namespace {

const QString NamePattern = QStringLiteral("brevik-plan-XXXXXX");

// A folder without its lock is removed once it is this old; a younger one may belong to a plan
// that has not yet taken its lock.
constexpr qint64 StaleSeconds = 24 * 60 * 60;
// A lock whose process cannot be asked whether it still runs (it ran on another computer that
// shares the folder) counts as left behind once it is this old.
constexpr int StaleLockMs = 24 * 60 * 60 * 1000;

bool isOwnFolder(const QFileInfo& folder)
{
#ifdef Q_OS_UNIX
    return folder.ownerId() == ::geteuid();
#else
    (void)folder;
    return true;
#endif
}

} // namespace

PlanFolder::PlanFolder(const QString& parent)
    : m_folder(QDir(parent).filePath(NamePattern))
{
    if (!m_folder.isValid()) {
        m_error = m_folder.errorString();
        return;
    }
    m_lock.emplace(QDir(m_folder.path()).filePath(QLatin1StringView(LockName)));
    m_lock->setStaleLockTime(StaleLockMs);
    if (!m_lock->tryLock(0)) {
        m_error = QStringLiteral("its lock file cannot be made");
        m_lock.reset();
    }
}

void PlanFolder::removeEndedPlans(const QString& parent)
{
    static const QRegularExpression ours(QStringLiteral("^brevik-plan-[A-Za-z0-9]{6}$"));
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QFileInfoList found = QDir(parent).entryInfoList({QStringLiteral("brevik-plan-*")},
                                                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& folder : found) {
        // Never through a link, and never another user's: only the folders plans of this user made.
        if (folder.isSymLink() || !ours.match(folder.fileName()).hasMatch() || !isOwnFolder(folder))
            continue;
        const QString lockPath = QDir(folder.filePath()).filePath(QLatin1StringView(LockName));
        if (!QFileInfo(lockPath).isFile()) {
            if (folder.lastModified().toUTC().secsTo(now) > StaleSeconds)
                QDir(folder.filePath()).removeRecursively();
            continue;
        }
        // A plan that runs holds its lock; one that was killed left it to be taken over. The lock
        // goes last, by its own hand: a lock file removed under it would be missed when it is
        // given back, and said so on standard error.
        QLockFile lock(lockPath);
        lock.setStaleLockTime(StaleLockMs);
        if (!lock.tryLock(0))
            continue;
        QDir dir(folder.filePath());
        const QFileInfoList inside =
            dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo& entry : inside) {
            if (entry.fileName() == QLatin1StringView(LockName))
                continue;
            if (entry.isDir() && !entry.isSymLink())
                QDir(entry.filePath()).removeRecursively();
            else
                dir.remove(entry.fileName());
        }
        lock.unlock();
        (void)QDir(parent).rmdir(folder.fileName());
    }
}

} // namespace brevik
