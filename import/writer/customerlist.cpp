#include "customerlist.h"

#include "import/rules/fieldrules.h"
#include "import/writer/striprun.h"

#include <QFileInfo>

namespace brevik {
namespace {

// A field as RFC 4180 writes it: in double quotes, with its quotes doubled, when it holds a
// comma, a double quote or a line end. A spreadsheet runs a field that begins with "=", "+",
// "-" or "@" (or a TAB or a CR before one) as a formula, and names come from web sign-ups: such
// a field gets a single quote in front, which a spreadsheet shows as text.
QByteArray csvField(const QString& text)
{
    QByteArray bytes = text.toUtf8();
    if (!bytes.isEmpty() && QByteArrayView("=+-@\t\r").contains(bytes.front()))
        bytes.prepend('\'');
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

QByteArray csvRecord(const QStringList& fields)
{
    QByteArrayList line;
    for (const QString& field : fields)
        line << csvField(field);
    return line.join(',') + "\r\n";
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

QString summaryLine(const StripSummary& summary)
{
    return QStringLiteral(
               "rows read: %1, clients added: %2, clients updated: %3, rows that wrote nothing: %4, "
               "customers refused: %5, jobs passed over: %6")
        .arg(summary.rowsRead)
        .arg(summary.clientsAdded)
        .arg(summary.clientsUpdated)
        .arg(summary.rowsWithoutWrite)
        .arg(summary.customersRefused)
        .arg(summary.jobsPassedOver);
}

ReportFile::ReportFile(const QString& path, Tense tense)
    : m_path(path)
    , m_tense(tense)
    , m_file(path)
{}

bool ReportFile::open(QString& why)
{
    // Read from the name itself, a link not followed.
    const QFileInfo existing(m_path);
    if (existing.isSymLink()) {
        why = QStringLiteral("it is a link, which a report never follows");
        return false;
    }
    if (existing.exists() && !existing.isFile()) {
        why = existing.isDir() ? QStringLiteral("it is a folder, not a file")
                               : QStringLiteral("it is a pipe or a device, not an ordinary file");
        return false;
    }
    if (!m_file.open()) {
        why = m_file.errorString();
        return false;
    }
    m_pending = csvHeader();
    if (!writePending() || !m_file.writeThrough()) {
        why = m_failure.isEmpty() ? m_file.errorString() : m_failure;
        return false;
    }
    return true;
}

void ReportFile::add(const CustomerRecord& record)
{
    if (!m_failure.isEmpty())
        return;
    m_pending += csvLine(record, m_tense);
    constexpr qsizetype WriteAt = 64 * 1024;
    if (m_pending.size() >= WriteAt)
        writePending();
}

void ReportFile::addLines(QByteArrayView lines)
{
    if (!m_failure.isEmpty())
        return;
    m_pending += lines;
    writePending();
}

bool ReportFile::commit(QString& why)
{
    if (!writePending() || !m_file.writeThrough() || !m_file.commit()) {
        why = m_failure.isEmpty() ? m_file.errorString() : m_failure;
        return false;
    }
    return true;
}

bool ReportFile::writePending()
{
    if (!m_failure.isEmpty())
        return false;
    if (!writeAll(m_file.device(), m_pending)) {
        m_failure = writeFailure(m_file.device());
        m_pending.clear();
        return false;
    }
    m_pending.clear();
    return true;
}

} // namespace brevik
