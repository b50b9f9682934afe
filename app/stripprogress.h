#pragma once

#include "import/engine/lockwait.h"
#include "import/reporter.h"
#include "import/rules/customerfields.h"
#include "import/writer/striprun.h"

#include <QElapsedTimer>
#include <QStringList>

namespace brevik::ui {

class frmBrevik;

// Carries an import run to the main window's controls: the list of names, the progress bar,
// its labels and the customer fields. The run holds the one thread, so the window is brought
// up to date and repainted only at intervals: about 30 times a second at most, and less often
// where painting is slow, so that the updates take a small share of the run whatever the
// display. In between, names wait in a batch and the bar keeps its last value.
class StripProgress final : public StripObserver, public db::LockWaitListener
{
public:
    StripProgress(frmBrevik& window, const WindowValues& values);
    ~StripProgress() override;
    StripProgress(const StripProgress&) = delete;
    StripProgress& operator=(const StripProgress&) = delete;

    void cleared() override;
    void started(qint64 maximum) override;
    void progressed(qint64 value) override;
    void nameTaken(const QString& name) override;
    void finished() override;
    // Another program holds the database: the window says that it waits, beside the wait cursor.
    void waitingForLock() override;

    // Brings the list, the bar and the customer fields up to date with the run; the window
    // calls it once more when the run is over, however it ended.
    void showCurrent();

    // The run's messages name no customer. Before each one the window shows the run as far as it
    // has come: every name taken, the current customer's last and in view, and the bar at the
    // current row, so that the operator can tell which customer the message is about.
    class Messages final : public Reporter
    {
    public:
        Messages(StripProgress& progress, Reporter& shown);
        void report(const QString& message) override;

    private:
        StripProgress& m_progress;
        Reporter& m_shown;
    };

private:
    static constexpr qint64 ShortestIntervalNs = 33'000'000;
    // An update may take at most one part in CostShare of the time from one update to the next.
    static constexpr qint64 CostShare = 40;

    frmBrevik& m_window;
    const WindowValues& m_values;
    QStringList m_names; // taken since the last update of the list
    qint64 m_value = 0;  // the running total of row lengths
    int m_scale = 0;     // bits the bar's values are shifted by, for files over 2 GB
    qint64 m_intervalNs = ShortestIntervalNs;
    QElapsedTimer m_sinceRepaint;
    QString m_caption; // Label2's own, while it says that the run waits for the database
    bool m_waiting = false;

    void endWaiting();
};

} // namespace brevik::ui
