// The export reader and the extraction over arbitrary bytes. The first byte sets the reader's
// chunk size, so row ends fall on every kind of boundary; the rest is the export. Rows,
// customer rows, the columns each header gives the rows after it, the text of each row and
// QBCUST.TXT are checked against the rules written out plainly.

#include "fuzzcheck.h"

#include "import/export/cp1252.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "import/export/textencoding.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <utility>

namespace {

using namespace brevik;

// Rows end at CR LF, at a lone CR and at a lone LF; text after the last end is a row too.
QList<QByteArray> plainRows(QByteArrayView bytes)
{
    QList<QByteArray> rows;
    QByteArray current;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c == '\r' || c == '\n') {
            rows.append(current);
            current.clear();
            if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else {
            current.append(c);
        }
    }
    if (!current.isEmpty())
        rows.append(current);
    return rows;
}

QByteArray plainFirstField(const QByteArray& row)
{
    const qsizetype tab = row.indexOf('\t');
    return tab < 0 ? row : row.left(tab);
}

bool plainIsCustomerRow(const QByteArray& row)
{
    const QByteArray first = plainFirstField(row);
    return row.left(4) == "CUST" && row.left(8) != "CUSTNAME" && first != "CUSTITEMDICT" &&
           first != "CUSTOMPI";
}

// UTF-16 without a mark: in the first row (within the first 4096 bytes) the bytes at even places,
// or those at odd places, are all 0, at least two of them, beside at least two other bytes.
bool plainLooksUtf16(QByteArrayView bytes)
{
    const QList<QByteArray> rows = plainRows(bytes.first(std::min<qsizetype>(bytes.size(), 4096)));
    if (rows.isEmpty())
        return false;
    const QByteArray& row = rows.first();
    for (const qsizetype zeroAt : {0, 1}) {
        qsizetype zeros = 0;
        qsizetype others = 0;
        for (qsizetype i = zeroAt; i < row.size(); i += 2)
            zeros += row.at(i) == '\0' ? 1 : 0;
        for (qsizetype i = 1 - zeroAt; i < row.size(); i += 2)
            others += row.at(i) != '\0' ? 1 : 0;
        if (zeros == (row.size() + 1 - zeroAt) / 2 && zeros >= 2 && others >= 2)
            return true;
    }
    return false;
}

ExportColumns plainColumns(const QByteArray& header)
{
    ExportColumns columns;
    const std::pair<QByteArray, int ExportColumns::*> named[] = {
        {"NAME", &ExportColumns::fullNameField},       {"BADDR1", &ExportColumns::nameField},
        {"BADDR2", &ExportColumns::address1Field},     {"BADDR3", &ExportColumns::address2Field},
        {"BADDR4", &ExportColumns::address2MoreField}, {"BADDR5", &ExportColumns::lastAddressField},
        {"PHONE1", &ExportColumns::phoneField},        {"CONT1", &ExportColumns::contactField},
        {"TAXABLE", &ExportColumns::taxField}};
    const QList<QByteArray> fields = header.split('\t');
    for (const auto& [name, field] : named) {
        for (qsizetype i = 0; i < fields.size(); ++i) {
            if (QByteArray(fields.at(i)).replace('"', QByteArray()) == name) {
                columns.*field = int(i + 1);
                break;
            }
        }
    }
    return columns;
}

// A customer row that is valid UTF-8 and holds a byte above 127 is UTF-8; any other is
// Windows-1252, one character for each byte, ASCII as it is, and each character turns back into
// its byte.
void checkDecoding(const QByteArray& row)
{
    const QString text = decodeRow(row);
    const bool high = std::any_of(row.begin(), row.end(), [](char c) { return c & 0x80; });
    if (high && QString::fromUtf8(row).toUtf8() == row) {
        FUZZ_CHECK(text == QString::fromUtf8(row));
        return;
    }
    FUZZ_CHECK(text.size() == row.size());
    FUZZ_CHECK(toCp1252(text) == row);
    for (qsizetype i = 0; i < row.size(); ++i)
        FUZZ_CHECK((row.at(i) & 0x80) != 0 || text.at(i) == QLatin1Char(row.at(i)));
}

void checkReader(QByteArrayView bytes, qsizetype chunk)
{
    QByteArray copy = bytes.toByteArray();
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    RowReader reader(device, chunk);
    const QList<QByteArray> expected = plainRows(bytes);
    qsizetype index = 0;
    QByteArrayView row;
    while (reader.next(row)) {
        FUZZ_CHECK(index < expected.size());
        FUZZ_CHECK(row == expected.at(index));
        FUZZ_CHECK(isCustomerRow(row) == plainIsCustomerRow(expected.at(index)));
        FUZZ_CHECK(firstField(row) == plainFirstField(expected.at(index)));
        FUZZ_CHECK(isCustomerHeaderRow(row) == (plainFirstField(expected.at(index)) == "!CUST"));
        if (isCustomerHeaderRow(row))
            FUZZ_CHECK(headerColumns(row) == plainColumns(expected.at(index)));
        ++index;
    }
    FUZZ_CHECK(!reader.failed());
    FUZZ_CHECK(index == expected.size());
}

void checkExtraction(QByteArrayView bytes)
{
    // In memory where the system offers it: the files are written and read for every input.
    static QTemporaryDir dir(QFileInfo(QStringLiteral("/dev/shm")).isWritable()
                                 ? QStringLiteral("/dev/shm/brevik-fuzz-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/brevik-fuzz-XXXXXX"));
    FUZZ_CHECK(dir.isValid());
    const QString exportFile = dir.filePath(QStringLiteral("export.iif"));
    {
        QFile file(exportFile);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        FUZZ_CHECK(file.write(bytes.data(), bytes.size()) == bytes.size());
    }
    QFile::remove(dir.filePath(QStringLiteral("QBCUST.TXT")));
    qsizetype handed = 0;
    const ExtractionResult result =
        extractCustomerRows(exportFile, dir.path(), [&handed](QByteArrayView, qint64) { ++handed; });

    if (bytes.startsWith("\xff\xfe") || bytes.startsWith("\xfe\xff") || plainLooksUtf16(bytes)) {
        FUZZ_CHECK(!result.succeeded());
        FUZZ_CHECK(result.failure->cause == ExtractionFailure::Cause::ExportInUtf16);
        FUZZ_CHECK(!QFile::exists(result.outputPath));
        return;
    }
    const bool marked = bytes.startsWith("\xef\xbb\xbf");
    const QByteArrayView text = marked ? bytes.sliced(3) : bytes;
    QByteArray expected;
    qsizetype customers = 0;
    bool tabbed = false;
    // The columns of the last header so far, and those of each customer row in turn.
    ExportColumns columns;
    QList<ExportColumns> rowColumns;
    for (const QByteArray& row : plainRows(text)) {
        if (plainIsCustomerRow(row)) {
            expected += row + "\r\n";
            ++customers;
            tabbed = tabbed || row.contains('\t');
            rowColumns.append(columns);
            checkDecoding(row);
        } else if (plainFirstField(row) == "!CUST") {
            columns = plainColumns(row);
        }
    }
    FUZZ_CHECK(handed == customers);
    if (customers > 0 && !tabbed) {
        FUZZ_CHECK(!result.succeeded());
        FUZZ_CHECK(result.failure->cause == ExtractionFailure::Cause::RowsWithoutTabs);
        FUZZ_CHECK(result.failure->customerRows == customers);
        FUZZ_CHECK(!QFile::exists(result.outputPath));
        return;
    }
    FUZZ_CHECK(result.succeeded());
    FUZZ_CHECK(result.rowsCopied == customers);
    for (qsizetype i = 0; i < rowColumns.size(); ++i)
        FUZZ_CHECK(result.layout.columnsOf(i + 1) == rowColumns.at(i));
    // Only the rows where the columns change are kept.
    const std::vector<ColumnsFrom>& changes = result.layout.changes();
    for (std::size_t i = 0; i < changes.size(); ++i) {
        FUZZ_CHECK(changes[i].firstRow >= 1 && changes[i].firstRow <= customers);
        FUZZ_CHECK(i == 0 || changes[i].firstRow > changes[i - 1].firstRow);
        FUZZ_CHECK(changes[i].columns != (i == 0 ? ExportColumns() : changes[i - 1].columns));
    }
    QFile output(result.outputPath);
    FUZZ_CHECK(output.open(QIODevice::ReadOnly));
    FUZZ_CHECK(output.readAll() == expected);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype chunk = 1 + data[0] % 64;
    const QByteArrayView bytes(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    checkReader(bytes, chunk);
    checkExtraction(bytes);
    return 0;
}
