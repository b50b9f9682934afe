#pragma once

#include "import/export/exportlayout.h"

#include <QByteArrayView>
#include <QString>

namespace brevik {

// The text of a row of an export or of QBCUST.TXT.
[[nodiscard]] QString decodeRow(QByteArrayView row, TextEncoding encoding);

// Judges the encoding of an export from its customer rows. An export is UTF-8 when it begins
// with a UTF-8 byte-order mark, or when its customer rows hold multi-byte sequences and not one
// sequence that UTF-8 forbids; every other export is Windows-1252. Only rows that hold a byte
// above 127 cost more than one pass over their bytes.
class EncodingJudge
{
public:
    void markedUtf8() { m_marked = true; }
    void addRow(QByteArrayView row);

    // Whether later rows can no longer change the judgement.
    [[nodiscard]] bool settled() const { return m_marked || m_invalid; }
    [[nodiscard]] TextEncoding encoding() const
    {
        return m_marked || (m_multiByte && !m_invalid) ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }

private:
    bool m_marked = false;
    bool m_multiByte = false;
    bool m_invalid = false;
};

// The encoding of QBCUST.TXT judged on its own, for a STRIP that has no export to go by: every
// row of the file is a customer row. A file that cannot be read is Windows-1252; the run that
// reads it says why it cannot.
[[nodiscard]] TextEncoding customerFileEncoding(const QString& path);

} // namespace brevik
