#pragma once

#include "import/reporter.h"
#include "import/writer/striprun.h"

#include <QElapsedTimer>

namespace brevik::tool {

// Follows an import run on standard error when it is a terminal: one progress line, redrawn a
// few times a second. Messages pass through it, so that each stands on a line of its own.
class TerminalProgress final : public StripObserver, public Reporter
{
public:
    explicit TerminalProgress(Reporter& messages);
    ~TerminalProgress() override;

    void started(qint64 maximum) override;
    void progressed(qint64 value) override;
    void finished() override;
    void report(const QString& message) override;

private:
    void draw();
    void erase();

    Reporter& m_messages;
    const bool m_terminal;
    bool m_drawn = false;
    qint64 m_maximum = 0;
    qint64 m_value = 0;
    QElapsedTimer m_sinceDrawn;
};

} // namespace brevik::tool
