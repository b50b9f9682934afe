#pragma once

#include "customerfields.h"
#include "exportcolumns.h"

#include <QString>
#include <QStringView>

namespace brevik {

// How one row of QBCUST.TXT is cut into the customer fields.
struct ScanSettings
{
    QString gOpt;          // "0" and "1" take contact and tax; any other value takes neither
    ExportColumns columns; // field numbers of the contact and the tax mark
};

// Scans one row into the fields (which the caller has cleared). Fields are the texts between
// TABs, numbered from 1; a field whose text begins with "CUST" is passed over, double quotes
// are dropped, and the text after the last TAB is never applied. Returns true when the row
// gave a name (the name goes to the list of customers taken).
bool scanRow(QStringView row, const ScanSettings& settings, CustomerFields& fields);

// Splits a city line "city, state zip" into Text1(5), Text1(4) and Text1(3).
void splitCityLine(QStringView line, CustomerFields& fields);

} // namespace brevik
