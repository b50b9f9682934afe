#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace brevik {

// Reads text rows from a device without holding more than one row and one buffer in memory.
// A row ends at CR LF, at a lone CR or at a lone LF; the end is not part of the row. The text
// after the last row end is a row of its own when it is not empty and the input truly ended
// there: after a read error the unfinished row is never given out. A row longer than
// MaxRowLength, which no real export holds, stops the reading, so that an input without row
// ends (a device of zeros, say) cannot fill the memory.
class RowReader
{
public:
    static constexpr qsizetype MaxRowLength = 1 << 20;

    explicit RowReader(QIODevice& device, qsizetype chunkSize = 1 << 20,
                       qsizetype maxRowLength = MaxRowLength);

    // The next row, or false at the end of the input, after a read error or at a row that is
    // too long. The view stays valid until the next call.
    [[nodiscard]] bool next(QByteArrayView& row);

    [[nodiscard]] bool failed() const { return m_failed; }
    // Why the reading stopped, naming the row it stopped at.
    [[nodiscard]] QString errorString() const { return m_error; }
    // The rows given out so far.
    [[nodiscard]] qint64 rowsRead() const { return m_rows; }

private:
    void fail(const QString& cause);

    bool fill();
    qsizetype findRowEnd(qsizetype from);

    QIODevice& m_device;
    qsizetype m_chunkSize;
    qsizetype m_maxRowLength;
    qint64 m_rows = 0;
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
