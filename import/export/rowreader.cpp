#include "rowreader.h"

#include <QIODevice>

#include <algorithm>
#include <cstring>

namespace brevik {

RowReader::RowReader(QIODevice& device, qsizetype chunkSize, qsizetype maxRowLength)
    : m_device(device)
    , m_chunkSize(chunkSize > 0 ? chunkSize : 1 << 20)
    , m_maxRowLength(maxRowLength > 0 ? maxRowLength : MaxRowLength)
{}

void RowReader::fail(const QString& cause)
{
    m_failed = true;
    m_atEnd = true;
    m_error = QStringLiteral("reading stopped at row %1: %2").arg(m_rows + 1).arg(cause);
}

// Moves the unread bytes to the front and reads one more chunk behind them.
bool RowReader::fill()
{
    if (m_atEnd)
        return false;
    m_nextLf = -1;
    m_nextCr = -1;
    if (m_begin > 0) {
        const qsizetype left = m_end - m_begin;
        if (left > 0)
            std::memmove(m_buffer.data(), m_buffer.constData() + m_begin, static_cast<std::size_t>(left));
        m_end = left;
        m_begin = 0;
    }
    if (m_buffer.size() - m_end < m_chunkSize)
        m_buffer.resize(m_end + m_chunkSize);
    const qint64 got = m_device.read(m_buffer.data() + m_end, m_chunkSize);
    if (got < 0) {
        fail(m_device.errorString());
        return false;
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    m_end += got;
    return true;
}

// The first CR or LF at or after from, or m_end. Each of the two is searched for only once it
// has been passed, so a file without any CR costs one search per buffer, not one per row.
qsizetype RowReader::findRowEnd(qsizetype from)
{
    const auto search = [this, from](qsizetype& next, char c) {
        if (next >= from)
            return;
        const char* base = m_buffer.constData();
        const void* hit = std::memchr(base + from, c, static_cast<std::size_t>(m_end - from));
        next = hit ? static_cast<const char*>(hit) - base : m_end;
    };
    search(m_nextLf, '\n');
    search(m_nextCr, '\r');
    return std::min(m_nextLf, m_nextCr);
}

bool RowReader::next(QByteArrayView& row)
{
    qsizetype pos = m_begin;
    for (;;) {
        pos = findRowEnd(pos);
        const char* base = m_buffer.constData();
        if (pos < m_end) {
            if (base[pos] == '\r' && pos + 1 == m_end && !m_atEnd) {
                // One more byte tells whether this CR is the first half of CR LF.
                const qsizetype offset = pos - m_begin;
                fill();
                pos = m_begin + offset;
                base = m_buffer.constData();
            }
            qsizetype after = pos + 1;
            if (base[pos] == '\r' && after < m_end && base[after] == '\n')
                ++after;
            if (m_failed)
                return false;
            row = QByteArrayView(base + m_begin, pos - m_begin);
            m_begin = after;
            ++m_rows;
            return true;
        }
        const qsizetype offset = pos - m_begin;
        if (offset > m_maxRowLength) {
            const QString limit = m_maxRowLength % (1 << 20) == 0
                                      ? QStringLiteral("%1 MiB").arg(m_maxRowLength >> 20)
                                      : QStringLiteral("%1 bytes").arg(m_maxRowLength);
            fail(QStringLiteral("the row is longer than %1, which no QuickBooks export holds").arg(limit));
            return false;
        }
        if (!fill()) {
            if (m_end > m_begin && !m_failed) {
                row = QByteArrayView(m_buffer.constData() + m_begin, m_end - m_begin);
                m_begin = m_end;
                ++m_rows;
                return true;
            }
            return false;
        }
        pos = m_begin + offset;
    }
}

} // namespace brevik
