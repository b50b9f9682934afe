#include "rowreader.h"

#include <QIODevice>

#include <cstring>

namespace brevik {

RowReader::RowReader(QIODevice& device, qsizetype chunkSize)
    : m_device(device)
    , m_chunkSize(chunkSize > 0 ? chunkSize : 1 << 20)
{}

// Moves the unread bytes to the front and reads one more chunk behind them.
bool RowReader::fill()
{
    if (m_atEnd)
        return false;
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
        m_failed = true;
        m_error = m_device.errorString();
        m_atEnd = true;
        return false;
    }
    if (got == 0) {
        m_atEnd = true;
        return false;
    }
    m_end += got;
    return true;
}

bool RowReader::next(QByteArrayView& row)
{
    qsizetype pos = m_begin;
    for (;;) {
        const char* base = m_buffer.constData();
        while (pos < m_end && base[pos] != '\n' && base[pos] != '\r')
            ++pos;
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
            row = QByteArrayView(base + m_begin, pos - m_begin);
            m_begin = after;
            return true;
        }
        const qsizetype offset = pos - m_begin;
        if (!fill()) {
            if (m_end > m_begin) {
                row = QByteArrayView(m_buffer.constData() + m_begin, m_end - m_begin);
                m_begin = m_end;
                return true;
            }
            return false;
        }
        pos = m_begin + offset;
    }
}

} // namespace brevik
