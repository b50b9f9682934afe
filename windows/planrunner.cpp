#include "planrunner.h"

#include "import/reporter.h"

#include <QMutexLocker>
#include <QThread>

namespace brevik::ui {

// Keeps the run's progress where the window's thread can read it.
class PlanRunner::Follower final : public StripObserver
{
public:
    explicit Follower(PlanRunner& runner)
        : m_runner(runner)
    {}
    void started(qint64 maximum) override { m_runner.m_maximum.store(maximum); }
    void progressed(qint64 value) override { m_runner.m_value.store(value); }

private:
    PlanRunner& m_runner;
};

PlanRunner::PlanRunner(QObject* parent)
    : QObject(parent)
{}

PlanRunner::~PlanRunner()
{
    stop();
}

void PlanRunner::stop()
{
    if (!m_thread)
        return;
    // The window that stops a plan wants nothing more of it, not even its end.
    m_thread->disconnect(this);
    m_stopRequested.store(true);
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
}

bool PlanRunner::running() const
{
    return m_thread && !m_thread->isFinished();
}

void PlanRunner::start(const PlanRequest& request)
{
    stop();
    {
        const QMutexLocker locker(&m_mutex);
        m_settled.clear();
    }
    m_value.store(0);
    m_maximum.store(0);
    m_stopRequested.store(false);
    m_summary = {};
    m_messages.clear();
    m_thread = QThread::create([this, request] {
        CapturingReporter messages;
        Follower follower(*this);
        PlanRequest followed = request;
        followed.observer = &follower;
        followed.stopRequested = [this] {
            return m_stopRequested.load();
        };
        m_summary = planImport(followed, messages, [this](const CustomerRecord& record) { collect(record); });
        m_messages = messages.messages();
    });
    connect(m_thread, &QThread::finished, this,
            [this] { Q_EMIT finished(m_summary, m_messages, m_stopRequested.load()); });
    m_thread->start();
}

void PlanRunner::collect(const CustomerRecord& record)
{
    const QMutexLocker locker(&m_mutex);
    m_settled.push_back(record);
}

std::vector<CustomerRecord> PlanRunner::takeRecords()
{
    std::vector<CustomerRecord> taken;
    const QMutexLocker locker(&m_mutex);
    taken.swap(m_settled);
    return taken;
}

} // namespace brevik::ui
