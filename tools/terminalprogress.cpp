#include "terminalprogress.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace brevik::tool {
namespace {
constexpr int RedrawMs = 200;
constexpr int BarWidth = 40;
} // namespace

TerminalProgress::TerminalProgress(Reporter& messages)
    : m_messages(messages)
    , m_terminal(isatty(fileno(stderr)) != 0)
{}

TerminalProgress::~TerminalProgress()
{
    erase();
}

void TerminalProgress::started(qint64 maximum)
{
    m_maximum = maximum;
    m_value = 0;
    m_sinceDrawn.start();
    draw();
}

void TerminalProgress::progressed(qint64 value)
{
    m_value = value;
    if (m_terminal && m_sinceDrawn.elapsed() >= RedrawMs)
        draw();
}

void TerminalProgress::finished()
{
    m_value = m_maximum;
    draw();
    erase();
}

void TerminalProgress::report(const QString& message)
{
    erase();
    m_messages.report(message);
}

void TerminalProgress::draw()
{
    if (!m_terminal)
        return;
    const qint64 percent = m_maximum > 0 ? std::min<qint64>(100, m_value * 100 / m_maximum) : 100;
    const int filled = static_cast<int>(percent * BarWidth / 100);
    char bar[BarWidth + 1];
    for (int i = 0; i < BarWidth; ++i)
        bar[i] = i < filled ? '#' : '.';
    bar[BarWidth] = '\0';
    std::fprintf(stderr, "\r[%s] %3lld%%", bar, static_cast<long long>(percent));
    std::fflush(stderr);
    m_drawn = true;
    m_sinceDrawn.restart();
}

void TerminalProgress::erase()
{
    if (!m_terminal || !m_drawn)
        return;
    std::fprintf(stderr, "\r%*s\r", BarWidth + 8, "");
    std::fflush(stderr);
    m_drawn = false;
}

} // namespace brevik::tool
