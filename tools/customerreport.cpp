#include "customerreport.h"

#include "tools/commandsupport.h"
#include "tools/terminaltext.h"

#include <algorithm>

namespace brevik::tool {

CustomerColumns::CustomerColumns(Tense tense)
    : m_tense(tense)
{
    addLine({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("action"),
             QStringLiteral("client"), QStringLiteral("notes")});
}

// The name, the client number and the notes (which may quote a name) come from the export and
// the database: shown with their control characters as marks.
void CustomerColumns::add(const CustomerRecord& record)
{
    addLine({QString::number(record.row), terminalText(record.name), actionOf(record.outcome, m_tense),
             terminalText(record.clientNumber), terminalText(notesOf(record).join(QStringLiteral("; ")))});
}

void CustomerColumns::addLine(const std::array<QString, Fields>& fields)
{
    for (std::size_t i = 0; i < Fields; ++i) {
        m_widths[i] = std::max(m_widths[i], fields[i].size());
        m_bytes.append(fields[i].toUtf8());
        m_bytes.append('\0');
    }
    ++m_lines;
}

void CustomerColumns::print(std::FILE* stream) const
{
    constexpr qsizetype PieceSize = 1 << 16;
    qsizetype at = 0;
    const auto next = [this, &at] {
        const qsizetype end = m_bytes.indexOf('\0', at);
        const QString text = QString::fromUtf8(QByteArrayView(m_bytes).sliced(at, end - at));
        at = end + 1;
        return text;
    };
    QString piece;
    for (qsizetype line = 0; line < m_lines; ++line) {
        const QString row = next(), name = next(), action = next(), client = next(), notes = next();
        piece += QStringLiteral("%1  %2  %3  %4  %5")
                     .arg(row, int(m_widths[0]))
                     .arg(name, int(-m_widths[1]))
                     .arg(action, int(-m_widths[2]))
                     .arg(client, int(-m_widths[3]))
                     .arg(notes);
        while (piece.endsWith(u' '))
            piece.chop(1);
        piece += u'\n';
        if (piece.size() >= PieceSize) {
            printBytes(stream, piece.toLocal8Bit());
            piece.clear();
        }
    }
    if (!piece.isEmpty())
        printBytes(stream, piece.toLocal8Bit());
}

} // namespace brevik::tool
