#pragma once

#include "import/reporter.h"
#include "import/writer/striprun.h"

#include <QElapsedTimer>

namespace brevik::tool {

// Follows an import run on standard error when it is a terminal: one progress line with the
// share of the file read, the rows imported ("12,345 of 100,000 rows" where the number of rows
// is known) and, once a few seconds have passed, the time left at the rate so far. It is
// redrawn a few times a second at most, so that it costs a run of many rows nothing to speak of.
// Messages pass through it, so that each stands on a line of its own. A quiet one draws nothing.
class TerminalProgress final : public StripObserver, public Reporter
{
public:
    enum class Drawing
    {
        OnATerminal,
        Never,
    };
    explicit TerminalProgress(Reporter& messages, Drawing drawing = Drawing::OnATerminal);
    ~TerminalProgress() override;

    void rowsToRead(qint64 rows) override;
    void started(qint64 maximum) override;
    void progressed(qint64 value) override;
    void finished() override;
    void report(const QString& message) override;

private:
    void draw();
    void erase();

    Reporter& m_messages;
    const bool m_terminal;
    qsizetype m_drawnWidth = 0; // of the line drawn, 0 when none stands
    qint64 m_maximum = 0;
    qint64 m_value = 0;
    qint64 m_rows = 0;       // the rows imported so far
    qint64 m_rowsToRead = 0; // 0 where unknown
    QElapsedTimer m_sinceStarted;
    QElapsedTimer m_sinceDrawn;
};

} // namespace brevik::tool
