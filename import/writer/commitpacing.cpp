#include "commitpacing.h"

#include "import/engine/database.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace brevik {

void CommitPacing::setLimits(int customers, int milliseconds)
{
    m_batchLimit = std::max(1, customers);
    m_batchMilliseconds = std::max(0, milliseconds);
}

void CommitPacing::batchBegun()
{
    m_batchCustomers = 0;
    m_batchTimer.start();
}

bool CommitPacing::databaseChanged(db::Database& database)
{
    qint64 version = 0;
    if (!database.dataVersion(version).ok())
        return true;
    const bool changed = version != m_dataVersion;
    if (changed && m_dataVersion != -1)
        m_othersWriting = true;
    m_dataVersion = version;
    return changed;
}

bool CommitPacing::customerAdded(bool messagesWaiting)
{
    ++m_batchCustomers;
    return messagesWaiting || m_batchCustomers >= m_batchLimit ||
           m_batchTimer.elapsed() >= m_batchMilliseconds;
}

void CommitPacing::afterCommit()
{
    if (!m_pauses)
        return;
    if (!m_sincePause.isValid()) {
        m_sincePause.start();
        return;
    }
    if (m_sincePause.elapsed() < (m_othersWriting ? 500 : 2000))
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
    m_sincePause.restart();
}

} // namespace brevik
