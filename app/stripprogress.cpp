#include "stripprogress.h"

#include "app/frmbrevik.h"
#include "platform/textlist.h"
#include "platform/userinputblocker.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <limits>

namespace brevik::ui {

StripProgress::StripProgress(frmBrevik& window, const WindowValues& values)
    : m_window(window)
    , m_values(values)
{}

StripProgress::~StripProgress()
{
    db::setLockWaitListener(nullptr);
    endWaiting();
}

void StripProgress::cleared()
{
    m_names.clear();
    m_window.lstCust->clear();
    db::setLockWaitListener(this);
}

// The run holds the one thread while it waits, so the words are painted at once.
void StripProgress::waitingForLock()
{
    if (!m_waiting) {
        m_caption = m_window.Label2->text();
        m_waiting = true;
    }
    m_window.Label2->setText(
        QStringLiteral("Waiting for the database zrdata.mdb, which another program holds..."));
    m_window.Label2->repaint();
}

void StripProgress::endWaiting()
{
    if (!m_waiting)
        return;
    m_waiting = false;
    m_window.Label2->setText(m_caption);
}

void StripProgress::started(qint64 maximum)
{
    // The bar holds an int; a larger file has both ends scaled down alike.
    m_scale = 0;
    while ((maximum >> m_scale) > std::numeric_limits<int>::max())
        ++m_scale;
    m_value = 0;
    // A maximum of 0 would turn the bar into a busy indicator that never stops.
    m_window.pb1->setRange(0, std::max(1, static_cast<int>(maximum >> m_scale)));
    m_window.pb1->setValue(0);
    m_window.pb1->setVisible(true);
    m_window.Label2->setVisible(true);
    m_window.Label3->setVisible(true);
    m_intervalNs = ShortestIntervalNs;
    m_sinceRepaint.start();
}

void StripProgress::progressed(qint64 value)
{
    m_value = value;
    // A row read after a wait comes once the database is open to the run again.
    endWaiting();
    if (m_sinceRepaint.nsecsElapsed() < m_intervalNs)
        return;
    m_sinceRepaint.start();
    showCurrent();
    // The user input that processing lets through is thrown away by the blocker the window
    // holds for the run; what is left is painting and the window system's own events.
    QCoreApplication::processEvents();
    m_intervalNs = std::max(ShortestIntervalNs, CostShare * m_sinceRepaint.nsecsElapsed());
}

void StripProgress::nameTaken(const QString& name)
{
    m_names.append(name);
}

void StripProgress::finished()
{
    endWaiting();
    showCurrent();
    m_window.cmdStrip->setVisible(false);
    m_window.cmdStart->setVisible(false);
    m_window.cmdExit->setVisible(true);
}

void StripProgress::showCurrent()
{
    if (!m_names.isEmpty()) {
        m_window.lstCust->addItems(m_names);
        m_names.clear();
        // The current customer stays in view, at the pace of the bar.
        m_window.lstCust->scrollToBottom();
    }
    m_window.pb1->setValue(static_cast<int>(m_value >> m_scale));
    for (std::size_t i = 0; i < CustomerFieldCount; ++i)
        m_window.Text1[i]->setText(m_values.Text1[i]);
}

StripProgress::Messages::Messages(StripProgress& progress, Reporter& shown)
    : m_progress(progress)
    , m_shown(shown)
{}

void StripProgress::Messages::report(const QString& message)
{
    m_progress.showCurrent();
    // The bar repaints of itself only after a change of some pixels; one row may be less.
    m_progress.m_window.pb1->update();
    m_progress.m_window.lstCust->scrollToBottom();
    const MessageCursor arrow;
    m_shown.report(message);
}

} // namespace brevik::ui
