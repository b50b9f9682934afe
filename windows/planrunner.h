#pragma once

#include "import/writer/clientwriter.h"
#include "import/writer/importplan.h"
#include "import/writer/striprun.h"

#include <QMutex>
#include <QObject>
#include <QStringList>

#include <atomic>
#include <vector>

class QThread;

namespace brevik::ui {

// Runs a plan of the core on a thread of its own, so that a window stays usable while a long
// export is planned. The window takes the customers settled so far and the progress whenever it
// likes; the messages of the plan wait until it is over and are then handed on with its summary,
// since a message box belongs to the window's thread.
class PlanRunner final : public QObject
{
    Q_OBJECT

public:
    explicit PlanRunner(QObject* parent = nullptr);
    // Asks a plan still running to stop after its current customer, and waits for it.
    ~PlanRunner() override;

    // Starts a plan; a plan still running is stopped first.
    void start(const PlanRequest& request);
    void stop();
    [[nodiscard]] bool running() const;

    // The customers settled since the last call, in the order of the export.
    [[nodiscard]] std::vector<CustomerRecord> takeRecords();
    // How far the plan has read QBCUST.TXT, in bytes, and its size; 0 of 0 before it is known.
    [[nodiscard]] qint64 progressValue() const { return m_value.load(); }
    [[nodiscard]] qint64 progressMaximum() const { return m_maximum.load(); }

Q_SIGNALS:
    // The plan is over, however it ended; stopped is true when it was asked to stop.
    void finished(const brevik::StripSummary& summary, const QStringList& messages, bool stopped);

private:
    class Follower;
    void collect(const CustomerRecord& record);

    QThread* m_thread = nullptr;
    mutable QMutex m_mutex;
    std::vector<CustomerRecord> m_settled; // guarded by m_mutex
    StripSummary m_summary;                // written by the thread, read once it has finished
    QStringList m_messages;                // likewise
    std::atomic<qint64> m_value{0};
    std::atomic<qint64> m_maximum{0};
    std::atomic<bool> m_stopRequested{false};
};

} // namespace brevik::ui
