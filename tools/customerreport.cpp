#include "customerreport.h"

#include "tools/terminaltext.h"

#include <algorithm>

namespace brevik::tool {

QString columnsOf(const std::vector<CustomerRecord>& records, Tense tense)
{
    struct Line
    {
        QString row, name, action, client, notes;
    };
    std::vector<Line> lines;
    lines.push_back({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("action"),
                     QStringLiteral("client"), QStringLiteral("notes")});
    // The name, the client number and the notes (which may quote a name) come from the export
    // and the database: shown with their control characters as marks.
    for (const CustomerRecord& record : records)
        lines.push_back({QString::number(record.row), terminalText(record.name),
                         actionOf(record.outcome, tense), terminalText(record.clientNumber),
                         terminalText(notesOf(record).join(QStringLiteral("; ")))});
    qsizetype row = 0, name = 0, action = 0, client = 0;
    for (const Line& line : lines) {
        row = std::max(row, line.row.size());
        name = std::max(name, line.name.size());
        action = std::max(action, line.action.size());
        client = std::max(client, line.client.size());
    }
    QString text;
    for (const Line& line : lines) {
        text += QStringLiteral("%1  %2  %3  %4  %5")
                    .arg(line.row, int(row))
                    .arg(line.name, int(-name))
                    .arg(line.action, int(-action))
                    .arg(line.client, int(-client))
                    .arg(line.notes);
        while (text.endsWith(u' '))
            text.chop(1);
        text += u'\n';
    }
    return text;
}

} // namespace brevik::tool
