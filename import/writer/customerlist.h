#pragma once

#include "import/export/replacingfile.h"
#include "import/writer/clientwriter.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace brevik {

struct StripSummary;

// Whether a list of customers tells what an import would do (a plan) or what it did (a report).
enum class Tense
{
    Plan,
    Done,
};

// The action of a customer: "add" or "added", "update" or "updated", "nothing", "job", "refused".
[[nodiscard]] QString actionOf(WriteOutcome outcome, Tense tense);
// What the row and the rules noted of a customer, in words, then why it was refused.
[[nodiscard]] QStringList notesOf(const CustomerRecord& record);

// One line of CSV (RFC 4180, ended by CR LF, UTF-8), the fields guarded against a spreadsheet's
// formulas as every CSV of the program is.
[[nodiscard]] QByteArray csvRecord(const QStringList& fields);
// The CSV of a plan or a report: the header, and the line of one customer.
[[nodiscard]] QByteArray csvHeader();
[[nodiscard]] QByteArray csvLine(const CustomerRecord& record, Tense tense);

// What a run did or a plan would do, in one line: "rows read: ..., clients added: ...".
[[nodiscard]] QString summaryLine(const StripSummary& summary);

// The report file of an import: the CSV of what was done with each customer, written whole.
// It is written under a new name of its own beside the report's (never a file that exists) and
// put in place by commit(), which replaces the report's name and never follows it. Nothing is
// seen under that name until commit, so a run that is stopped leaves no half report, and a link
// put in its place meanwhile is replaced, not followed.
class ReportFile
{
public:
    // The lines of a report tell what was done; the preview's list saved tells what would be.
    explicit ReportFile(const QString& path, Tense tense = Tense::Done);

    // Refuses a name that stands for anything but an ordinary file (a link, a device, a pipe, a
    // folder); then opens the file and writes the header through to the disk, so that a disk
    // without room says so before the first customer. False, with the reason, when the report
    // cannot be written.
    [[nodiscard]] bool open(QString& why);
    void add(const CustomerRecord& record);
    // Lines made by csvLine before, kept by a window until the operator saves them.
    void addLines(QByteArrayView lines);
    [[nodiscard]] bool commit(QString& why);
    [[nodiscard]] QString path() const { return m_path; }

private:
    // Writes what is pending; false once a write has failed, whose reason m_failure then holds.
    bool writePending();

    QString m_path;
    Tense m_tense;
    ReplacingFile m_file;
    QByteArray m_pending;
    QString m_failure;
};

} // namespace brevik
