#pragma once

#include "import/writer/clientwriter.h"

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringList>

#include <vector>

namespace brevik::tool {

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

// The CSV of a plan or a report (RFC 4180, lines ended by CR LF, UTF-8): the header, and the line
// of one customer.
[[nodiscard]] QByteArray csvHeader();
[[nodiscard]] QByteArray csvLine(const CustomerRecord& record, Tense tense);

// The customers in aligned columns for a terminal, a header first.
[[nodiscard]] QString columnsOf(const std::vector<CustomerRecord>& records, Tense tense);

// The report file of an import: the CSV of what was done with each customer, written whole.
// Nothing is seen under its name until commit, so a run that is stopped leaves no half report.
class ReportFile
{
public:
    explicit ReportFile(const QString& path);

    // Opens it and writes the header; false, with the reason, when it cannot be written.
    [[nodiscard]] bool open(QString& why);
    void add(const CustomerRecord& record);
    [[nodiscard]] bool commit(QString& why);
    [[nodiscard]] QString path() const { return m_file.fileName(); }

private:
    QSaveFile m_file;
};

} // namespace brevik::tool
