#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace brevik {

// Reads text rows from a device without holding more than one row and one buffer in memory.
// A row ends at CR LF, at a lone CR or at a lone LF; the end is not part of the row. The text
// after the last row end is a row of its own when it is not empty.
class RowReader
{
public:
    explicit RowReader(QIODevice& device, qsizetype chunkSize = 1 << 20);

    // The next row, or false at the end of the input or after a read error. The view stays
    // valid until the next call.
    [[nodiscard]] bool next(QByteArrayView& row);

    [[nodiscard]] bool failed() const { return m_failed; }
    [[nodiscard]] QString errorString() const { return m_error; }

private:
    bool fill();
    qsizetype findRowEnd(qsizetype from);

    QIODevice& m_device;
    qsizetype m_chunkSize;
    QByteArray m_buffer;
    qsizetype m_begin = 0; // first unread byte of m_buffer
    qsizetype m_end = 0;   // one past the last valid byte
    // Where the next LF and the next CR stand (m_end: none in the buffer); -1 after a refill.
    qsizetype m_nextLf = -1;
    qsizetype m_nextCr = -1;
    bool m_atEnd = false;
    bool m_failed = false;
    QString m_error;
};

} // namespace brevik
