#pragma once

#include "import/export/exportlayout.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

namespace brevik {

// The text before the first TAB of a row, or the whole row when it holds no TAB.
[[nodiscard]] QByteArrayView firstField(QByteArrayView row);

// A customer row begins with exactly "CUST" and not with "CUSTNAME" (case-sensitive; a row
// shorter than eight bytes is compared whole). Rows whose first field is "CUSTITEMDICT" or
// "CUSTOMPI" are list declarations QuickBooks writes beside the customers, and are not
// customer rows either.
[[nodiscard]] bool isCustomerRow(QByteArrayView row);

// True for the export's own header row of the customer list: its first field is "!CUST".
[[nodiscard]] bool isCustomerHeaderRow(QByteArrayView row);

// The positions a "!CUST" header row gives the columns the scan takes (NAME, BADDR1 to BADDR5,
// PHONE1, CONT1 and TAXABLE), "!CUST" itself being field 1; names are compared with their
// double quotes dropped, and the first of two columns of one name counts. A column the header
// does not name keeps its designed position.
[[nodiscard]] ExportColumns headerColumns(QByteArrayView headerRow);

// Why an extraction could not complete.
struct ExtractionFailure
{
    enum class Cause
    {
        ExportUnreadable, // the export file could not be opened or read
        ExportInUtf16,    // the export is UTF-16 text, in which no customer row can be recognised
        OutputUnwritable, // QBCUST.TXT could not be created or written
        RowsWithoutTabs,  // not one customer row holds a TAB, so no field could be read
    };
    Cause cause = Cause::ExportUnreadable;
    QString path;   // the file concerned
    QString reason; // the system's reason
    // RowsWithoutTabs: how many customer rows the export holds.
    qsizetype customerRows = 0;

    // The message for the operator, naming the file and the reason.
    [[nodiscard]] QString message() const;
};

struct ExtractionResult
{
    qsizetype rowsCopied = 0;
    // The columns of each row copied: those of the last "!CUST" header before it, else the
    // designed ones.
    ExportLayout layout;
    QString outputPath; // QBCUST.TXT in the QuickBooks folder
    std::optional<ExtractionFailure> failure;

    [[nodiscard]] bool succeeded() const { return !failure.has_value(); }
};

// Called with each customer row as it is copied, without its row end, and its row in the
// export, from 1. The view is valid only during the call.
using CopiedRowHandler = std::function<void(QByteArrayView row, qint64 exportRow)>;

// Copies every customer row of the export, byte for byte and each followed by CR LF, into
// QBCUST.TXT in the QuickBooks folder. The file is written anew and replaces the earlier one
// only when the whole run succeeds; on failure any earlier QBCUST.TXT stays as it was.
// A UTF-8 byte-order mark at the start of the export marks the file, not its first row: the
// first row is copied without it. An export that begins with a UTF-16 byte-order mark fails,
// since none of its rows could be recognised, and so does an export whose customer rows hold
// no TAB at all: such rows would import nothing.
[[nodiscard]] ExtractionResult extractCustomerRows(const QString& exportFile, const QString& quickBooksFolder,
                                                   const CopiedRowHandler& onRow = {});

} // namespace brevik
