#include "terminalprogress.h"

#include <QLocale>

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
constexpr int BarWidth = 20;
// The rate needs some rows behind it before the time left it gives means anything.
constexpr qint64 TimeLeftAfterMs = 3000;

// "12,345", as the English of the line has it.
QString counted(qint64 number)
{
    static const QLocale english = [] {
        QLocale locale = QLocale::c();
        locale.setNumberOptions(QLocale::DefaultNumberOptions);
        return locale;
    }();
    return english.toString(number);
}

// "1:05" or "2:01:05".
QString duration(qint64 seconds)
{
    const QString minutesAndSeconds =
        QStringLiteral("%1:%2").arg(seconds / 60 % 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds < 3600)
        return minutesAndSeconds;
    return QStringLiteral("%1:%2").arg(seconds / 3600).arg(minutesAndSeconds, 5, QLatin1Char('0'));
}

} // namespace

TerminalProgress::TerminalProgress(Reporter& messages, Drawing drawing)
    : m_messages(messages)
    , m_terminal(drawing == Drawing::OnATerminal && isatty(fileno(stderr)) != 0)
{}

TerminalProgress::~TerminalProgress()
{
    erase();
}

void TerminalProgress::rowsToRead(qint64 rows)
{
    m_rowsToRead = rows;
}

void TerminalProgress::started(qint64 maximum)
{
    m_maximum = maximum;
    m_value = 0;
    m_rows = 0;
    m_sinceStarted.start();
    m_sinceDrawn.start();
    draw();
}

void TerminalProgress::progressed(qint64 value)
{
    // Called once for each row imported.
    m_value = value;
    ++m_rows;
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
    QString line = u'[' + QString(filled, u'#') + QString(BarWidth - filled, u'.') +
                   QStringLiteral("] %1%  %2").arg(percent, 3).arg(counted(m_rows));
    if (m_rowsToRead > 0)
        line += QStringLiteral(" of ") + counted(m_rowsToRead);
    line +=
        (m_rowsToRead > 0 ? m_rowsToRead : m_rows) == 1 ? QStringLiteral(" row") : QStringLiteral(" rows");
    // At the rate so far, over the bytes of the file that are left.
    const qint64 elapsed = m_sinceStarted.elapsed();
    if (elapsed >= TimeLeftAfterMs && m_value > 0 && m_value < m_maximum) {
        const double msLeft = double(elapsed) * double(m_maximum - m_value) / double(m_value);
        line += QStringLiteral(", %1 left").arg(duration(qint64(msLeft / 1000) + 1));
    }
    const qsizetype width = line.size();
    if (width < m_drawnWidth)
        line += QString(m_drawnWidth - width, u' ');
    const QByteArray bytes = '\r' + line.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    std::fflush(stderr);
    m_drawnWidth = width;
    m_sinceDrawn.restart();
}

void TerminalProgress::erase()
{
    if (!m_terminal || m_drawnWidth == 0)
        return;
    std::fprintf(stderr, "\r%*s\r", int(m_drawnWidth), "");
    std::fflush(stderr);
    m_drawnWidth = 0;
}

} // namespace brevik::tool
