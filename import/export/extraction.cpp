#include "extraction.h"

#include "import/export/regularfile.h"
#include "import/export/replacingfile.h"
#include "import/export/rowreader.h"
#include "import/paths.h"
#include "import/remedies.h"

#include <QFile>

#include <array>
#include <cstring>

namespace brevik {
namespace {

constexpr qsizetype ReadChunk = 1 << 20;
constexpr qsizetype WriteChunk = 1 << 20;
constexpr QByteArrayView RowEnd("\r\n");
// How much of the export's start tells whether it is UTF-16 text.
constexpr qsizetype Utf16Probe = 4096;

// Compares a header field with a column name, leaving out the double quotes around or in it.
bool namesColumn(QByteArrayView field, QByteArrayView name)
{
    qsizetype at = 0;
    for (const char c : field) {
        if (c == '"')
            continue;
        if (at == name.size() || name.at(at) != c)
            return false;
        ++at;
    }
    return at == name.size();
}

// Collects the copied rows in one large buffer and hands it to the file in whole chunks.
class ChunkedWriter
{
public:
    explicit ChunkedWriter(QIODevice& device)
        : m_device(device)
        , m_buffer(WriteChunk, Qt::Uninitialized)
    {}

    [[nodiscard]] bool writeRow(QByteArrayView row)
    {
        const qsizetype needed = row.size() + RowEnd.size();
        if (m_used + needed > WriteChunk && !flush())
            return false;
        if (needed > WriteChunk)
            return writeWhole(row) && writeWhole(RowEnd);
        char* out = m_buffer.data() + m_used;
        std::memcpy(out, row.data(), std::size_t(row.size()));
        out[row.size()] = '\r';
        out[row.size() + 1] = '\n';
        m_used += needed;
        return true;
    }

    [[nodiscard]] bool flush()
    {
        if (m_used == 0)
            return true;
        const bool written = writeWhole(QByteArrayView(m_buffer.constData(), m_used));
        m_used = 0;
        return written;
    }

private:
    bool writeWhole(QByteArrayView bytes) { return writeAll(m_device, bytes); }

    QIODevice& m_device;
    QByteArray m_buffer; // WriteChunk bytes, of which the first m_used hold rows
    qsizetype m_used = 0;
};

ExtractionFailure failure(ExtractionFailure::Cause cause, const QString& path, const QString& reason)
{
    return ExtractionFailure{cause, path, reason};
}

// UTF-16 text without a byte-order mark: in its first row every other byte is 0, the high
// bytes of its Latin letters. At least two letters are asked for, so that a row of one or
// two stray bytes is not taken for it.
bool isUtf16WithoutMark(QByteArrayView start)
{
    qsizetype rowEnd = 0;
    while (rowEnd < start.size() && start.at(rowEnd) != '\r' && start.at(rowEnd) != '\n')
        ++rowEnd;
    const QByteArrayView row = start.first(rowEnd);
    for (const qsizetype zeroAt : {0, 1}) {
        qsizetype zeros = 0;
        qsizetype letters = 0;
        bool allZero = true;
        for (qsizetype i = 0; i < row.size() && allZero; ++i) {
            if (i % 2 != zeroAt)
                letters += row.at(i) != '\0' ? 1 : 0;
            else if (row.at(i) == '\0')
                ++zeros;
            else
                allZero = false;
        }
        if (allZero && zeros >= 2 && letters >= 2)
            return true;
    }
    return false;
}

} // namespace

QByteArrayView firstField(QByteArrayView row)
{
    const qsizetype tab = row.indexOf('\t');
    return tab < 0 ? row : row.first(tab);
}

bool isCustomerRow(QByteArrayView row)
{
    // Byte by byte: this runs for every row of exports of hundreds of megabytes.
    const char* c = row.data();
    if (row.size() < 4 || c[0] != 'C' || c[1] != 'U' || c[2] != 'S' || c[3] != 'T')
        return false;
    if (row.size() >= 8 && c[4] == 'N' && c[5] == 'A' && c[6] == 'M' && c[7] == 'E')
        return false;
    // The usual customer row goes no further than here: its first field is "CUST" alone.
    if (row.size() == 4 || row.at(4) == '\t')
        return true;
    const QByteArrayView first = firstField(row);
    return first != "CUSTITEMDICT" && first != "CUSTOMPI";
}

bool isCustomerHeaderRow(QByteArrayView row)
{
    return row.startsWith("!CUST") && firstField(row) == "!CUST";
}

ExportColumns headerColumns(QByteArrayView headerRow)
{
    struct Column
    {
        QByteArrayView name;
        int ExportColumns::*field;
        bool found = false;
    };
    std::array columns = {
        Column{"NAME", &ExportColumns::fullNameField},
        Column{"BADDR1", &ExportColumns::nameField},
        Column{"BADDR2", &ExportColumns::address1Field},
        Column{"BADDR3", &ExportColumns::address2Field},
        Column{"BADDR4", &ExportColumns::address2MoreField},
        Column{"BADDR5", &ExportColumns::lastAddressField},
        Column{"PHONE1", &ExportColumns::phoneField},
        Column{"CONT1", &ExportColumns::contactField},
        Column{"TAXABLE", &ExportColumns::taxField},
    };
    ExportColumns result;
    int number = 1;
    qsizetype begin = 0;
    while (begin <= headerRow.size()) {
        qsizetype end = headerRow.indexOf('\t', begin);
        if (end < 0)
            end = headerRow.size();
        const QByteArrayView field = headerRow.sliced(begin, end - begin);
        for (Column& column : columns) {
            if (!column.found && namesColumn(field, column.name)) {
                result.*column.field = number;
                column.found = true;
                break;
            }
        }
        begin = end + 1;
        ++number;
    }
    return result;
}

QString ExtractionFailure::message() const
{
    switch (cause) {
    case Cause::ExportUnreadable:
        return QStringLiteral("The customer file %1 could not be read: %2.").arg(displayPath(path), reason);
    case Cause::ExportInUtf16:
        return QStringLiteral(
                   "The customer file %1 is Unicode (UTF-16) text, in which no customer rows can be "
                   "read. Export the customer list from QuickBooks again, or save the file as ANSI "
                   "(Windows-1252) text. Nothing was copied.")
            .arg(displayPath(path));
    case Cause::RowsWithoutTabs: {
        const QString rows =
            customerRows == 1
                ? QStringLiteral("1 customer row, but it is not TAB-separated, so none of its fields")
                : QStringLiteral("%1 customer rows, but they are not TAB-separated, so none of their fields")
                      .arg(customerRows);
        return QStringLiteral("The customer file %1 holds %2 can be read. Perhaps its TABs were turned into "
                              "blanks: export the customer list from QuickBooks again. Nothing was copied.")
            .arg(displayPath(path), rows);
    }
    case Cause::OutputUnwritable:
        return withRemedy(QStringLiteral("The customer rows could not be written to %1: %2. Any earlier copy "
                                         "of the file was left as it was.")
                              .arg(displayPath(path), clause(reason)),
                          remedies().folders);
    }
    return reason;
}

ExtractionResult extractCustomerRows(const QString& exportFile, const QString& quickBooksFolder,
                                     const CopiedRowHandler& onRow)
{
    using Cause = ExtractionFailure::Cause;
    ExtractionResult result;
    result.outputPath = customerFileIn(quickBooksFolder);

    QFile input(exportFile);
    if (QString why; !openRegularFile(input, why)) {
        result.failure = failure(Cause::ExportUnreadable, exportFile, why);
        return result;
    }
    const QByteArray start = input.peek(Utf16Probe);
    if (start.startsWith("\xff\xfe") || start.startsWith("\xfe\xff") || isUtf16WithoutMark(start)) {
        result.failure = failure(Cause::ExportInUtf16, exportFile, QString());
        return result;
    }
    // The mark says nothing of the rows, each of which is read by its own bytes.
    if (start.startsWith("\xef\xbb\xbf"))
        input.skip(3);
    // Until commit() the rows go to a file of their own, so a failed run leaves the earlier
    // QBCUST.TXT in place.
    ReplacingFile output(result.outputPath);
    if (!output.open()) {
        result.failure = failure(Cause::OutputUnwritable, result.outputPath, output.errorString());
        return result;
    }

    RowReader reader(input, ReadChunk);
    ChunkedWriter writer(output.device());
    // The columns of the last header read, for the customer rows that follow it.
    ExportColumns columns;
    bool headerRead = false;
    bool tabSeen = false;
    QByteArrayView row;
    while (reader.next(row)) {
        if (!isCustomerRow(row)) {
            if (isCustomerHeaderRow(row)) {
                columns = headerColumns(row);
                headerRead = true;
            }
            continue;
        }
        if (!writer.writeRow(row)) {
            result.failure =
                failure(Cause::OutputUnwritable, result.outputPath, writeFailure(output.device()));
            return result;
        }
        ++result.rowsCopied;
        if (headerRead) {
            result.layout.setColumnsFrom(result.rowsCopied, columns);
            headerRead = false;
        }
        // The usual customer row shows its first TAB right after "CUST".
        tabSeen = tabSeen || row.contains('\t');
        if (onRow)
            onRow(row, reader.rowsRead());
    }
    if (reader.failed()) {
        result.failure = failure(Cause::ExportUnreadable, exportFile, reader.errorString());
        return result;
    }
    if (result.rowsCopied > 0 && !tabSeen) {
        result.failure = failure(Cause::RowsWithoutTabs, exportFile, QString());
        result.failure->customerRows = result.rowsCopied;
        return result;
    }
    if (!writer.flush()) {
        result.failure = failure(Cause::OutputUnwritable, result.outputPath, writeFailure(output.device()));
        return result;
    }
    if (!output.commit())
        result.failure = failure(Cause::OutputUnwritable, result.outputPath, output.errorString());
    return result;
}

} // namespace brevik
