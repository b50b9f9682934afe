#include "quickbooksfolderlock.h"

#include "import/paths.h"
#include "import/reporter.h"

namespace brevik {

QuickBooksFolderLock::QuickBooksFolderLock(const QString& quickBooksFolder)
    : m_folder(quickBooksFolder)
    , m_path(joinFolderAndFile(quickBooksFolder, QStringLiteral("QBCUST.TXT.lock")))
    , m_lock(m_path)
{
    // A run on this computer that was killed is known to be gone by its process number; the
    // age only matters for a run on another computer.
    m_lock.setStaleLockTime(StaleAfterMs);
}

bool QuickBooksFolderLock::take(Reporter& reporter)
{
    if (m_lock.tryLock(0) || m_lock.error() != QLockFile::LockFailedError)
        return true;
    qint64 pid = 0;
    QString host;
    QString program;
    QString holder;
    if (m_lock.getLockInfo(&pid, &host, &program))
        holder = QStringLiteral(" (%1, process %2 on %3)").arg(program).arg(pid).arg(host);
    reporter.report(QStringLiteral("Another import is using the QuickBooks folder %1%2: its QBCUST.TXT "
                                   "belongs to that run until it ends. Nothing was done; try again once "
                                   "it has finished. If no import is running, remove the file %3.")
                        .arg(displayPath(m_folder), holder, displayPath(m_path)));
    return false;
}

} // namespace brevik
