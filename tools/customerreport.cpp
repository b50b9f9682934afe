#include "customerreport.h"

#include "import/rules/fieldrules.h"

#include <algorithm>

namespace brevik::tool {
namespace {

// A field as RFC 4180 writes it: in double quotes, with its quotes doubled, when it holds a
// comma, a double quote or a line end.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.contains(',') && !bytes.contains('"') && !bytes.contains('\r') && !bytes.contains('\n'))
        return bytes;
    bytes.replace('"', "\"\"");
    return '"' + bytes + '"';
}

} // namespace

QString actionOf(WriteOutcome outcome, Tense tense)
{
    const bool plan = tense == Tense::Plan;
    switch (outcome) {
    case WriteOutcome::Added:
        return plan ? QStringLiteral("add") : QStringLiteral("added");
    case WriteOutcome::Updated:
        return plan ? QStringLiteral("update") : QStringLiteral("updated");
    case WriteOutcome::NothingWritten:
        return QStringLiteral("nothing");
    case WriteOutcome::JobPassedOver:
        return QStringLiteral("job");
    case WriteOutcome::Refused:
    case WriteOutcome::Stopped:
        return QStringLiteral("refused");
    }
    return QString();
}

QStringList notesOf(const CustomerRecord& record)
{
    QStringList notes;
    if (record.notes & RowNote::NoTab)
        notes << QStringLiteral("no TAB in the row, so no field could be read");
    if (record.notes & RowNote::NameCut)
        notes << QStringLiteral("name cut to %1 characters, so the next import adds it again").arg(NameLimit);
    if (record.notes & RowNote::CityLineWithoutComma)
        notes << QStringLiteral("city line without a comma, not split into city, state and zip");
    if (record.notes & RowNote::StateCut)
        notes << QStringLiteral("state cut to %1 characters from a longer text").arg(StateLimit);
    notes << record.refusals;
    return notes;
}

QByteArray csvHeader()
{
    return QByteArrayLiteral("row,name,action,client_number,notes\r\n");
}

QByteArray csvLine(const CustomerRecord& record, Tense tense)
{
    return QByteArray::number(record.row) + ',' + csvField(record.name) + ',' +
           csvField(actionOf(record.outcome, tense)) + ',' + csvField(record.clientNumber) + ',' +
           csvField(notesOf(record).join(QStringLiteral("; "))) + "\r\n";
}

QString columnsOf(const std::vector<CustomerRecord>& records, Tense tense)
{
    struct Line
    {
        QString row, name, action, client, notes;
    };
    std::vector<Line> lines;
    lines.push_back({QStringLiteral("row"), QStringLiteral("name"), QStringLiteral("action"),
                     QStringLiteral("client"), QStringLiteral("notes")});
    for (const CustomerRecord& record : records)
        lines.push_back({QString::number(record.row), record.name, actionOf(record.outcome, tense),
                         record.clientNumber, notesOf(record).join(QStringLiteral("; "))});
    qsizetype row = 0, name = 0, action = 0, client = 0;
    for (const Line& line : lines) {
        row = std::max(row, line.row.size());
        name = std::max(name, line.name.size());
        action = std::max(action, line.action.size());
        client = std::max(client, line.client.size());
    }
    QString text;
    for (const Line& line : lines) {
        // A name may hold a TAB or a line end of its own; on a terminal it would break the columns.
        QString shown = line.name;
        for (QChar& c : shown)
            if (c.unicode() < 0x20)
                c = u' ';
        text += QStringLiteral("%1  %2  %3  %4  %5")
                    .arg(line.row, int(row))
                    .arg(shown, int(-name))
                    .arg(line.action, int(-action))
                    .arg(line.client, int(-client))
                    .arg(line.notes);
        while (text.endsWith(u' '))
            text.chop(1);
        text += u'\n';
    }
    return text;
}

ReportFile::ReportFile(const QString& path)
    : m_file(path)
{}

bool ReportFile::open(QString& why)
{
    if (!m_file.open(QIODevice::WriteOnly) || m_file.write(csvHeader()) < 0) {
        why = m_file.errorString();
        return false;
    }
    return true;
}

void ReportFile::add(const CustomerRecord& record)
{
    m_file.write(csvLine(record, Tense::Done));
}

bool ReportFile::commit(QString& why)
{
    if (!m_file.commit()) {
        why = m_file.errorString();
        return false;
    }
    return true;
}

} // namespace brevik::tool
