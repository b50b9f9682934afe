#pragma once

#include "import/export/exportlayout.h"
#include "import/rules/customerfields.h"
#include "import/rules/rownotes.h"

#include <QString>
#include <QStringView>

namespace brevik {

// How one row of QBCUST.TXT is cut into the customer fields.
struct ScanSettings
{
    QString gOpt;          // "0" and "1" take contact and tax; any other value takes neither
    ExportColumns columns; // where each field the scan takes stands
};

// Scans one row into the fields, which the caller has cleared. Fields are the texts between
// TABs, numbered from 1; a field whose text begins with "CUST" is passed over, double quotes
// and NUL characters are dropped, and the text after the last TAB is never applied. Taken at
// the positions the columns give: the name (an empty one ends the row), the first address
// line, the second one from the next two billing lines, the city line from the billing lines
// after the first two (the last one that holds a comma), the telephone; with gOpt "0" or "1"
// also the contact, and the tax mark, which ends the row. Rows of any length are scanned whole.
//
// Returns true when the row gave a name (the name goes to the list of customers taken).
// Fields cleared with truncate(0) rather than clear() keep their buffers for the next row.
// Where notes is given, it receives what the row's shape kept from being read: no TAB at all,
// or billing lines after the first two that hold text but no comma, so that no city line was
// split.
bool scanRow(QStringView row, const ScanSettings& settings, CustomerFields& fields,
             RowNotes* notes = nullptr);

// True for a job's row: its QuickBooks name, the text of the full-name field (which a TAB must
// close, as every field the scan takes), holds a colon: "customer:job". A job shares its
// billing lines, and so its client, with its customer.
[[nodiscard]] bool isJobRow(QStringView row, const ExportColumns& columns);

// Splits a city line "city, state zip" into Text1(5), Text1(4) and Text1(3): the city is the
// text before the first comma, the state the word after the first blank behind the comma, and
// the zip everything after the blank that follows it, but only when the last three characters
// of the line read as a number greater than 0. A line without a comma changes nothing.
void splitCityLine(QStringView line, CustomerFields& fields);

} // namespace brevik
