#pragma once

#include <QtGlobal>

#include <vector>

namespace brevik {

// Where each column the scan takes stands in a customer row, fields numbered from 1. These are
// the positions QuickBooks has always used for the name and the addresses; an export whose
// "!CUST" header names a column elsewhere moves it (older exports have no REFNUM or
// TIMESTAMP, and the contact and the tax mark move between versions), and a column the
// header does not name stays where it is here.
struct ExportColumns
{
    int fullNameField = 2;     // NAME: "customer", or "customer:job" for a job
    int nameField = 5;         // BADDR1: the client's name
    int address1Field = 6;     // BADDR2: the first address line
    int address2Field = 7;     // BADDR3: the second address line, unless it is the city line
    int address2MoreField = 8; // BADDR4: joins the second address line, unless it is the city line
    int lastAddressField = 9;  // BADDR5: taken only as the city line
    int phoneField = 15;       // PHONE1
    int contactField = 19;     // CONT1
    int taxField = 23;         // TAXABLE

    // Only the billing address lines after the first two can hold the city line; ship-to
    // lines, contacts and notes never set city, state or zip.
    [[nodiscard]] constexpr bool isCityLineField(qsizetype n) const
    {
        return n == address2Field || n == address2MoreField || n == lastAddressField;
    }

    friend bool operator==(const ExportColumns&, const ExportColumns&) = default;
};

// The columns that govern the rows of QBCUST.TXT from firstRow (counted from 1) on.
struct ColumnsFrom
{
    qint64 firstRow = 1;
    ExportColumns columns;

    friend bool operator==(const ColumnsFrom&, const ColumnsFrom&) = default;
};

// What START learns of an export and STRIP needs to read QBCUST.TXT, which keeps no header:
// the columns of each customer row. Each "!CUST" header of the export governs the customer rows
// after it, up to the next header; rows before the first header have the designed columns.
// Exports put together from several, and shop exports that repeat the header before every
// customer, hold more than one header. Only changes are kept, so an export of one header holds
// at most one entry however many rows it has. The text needs nothing of the export: each row
// is read by its own bytes (see decodeRow).
class ExportLayout
{
public:
    // The rows from the given row of QBCUST.TXT on have these columns, in place of what was
    // set for them before.
    void setColumnsFrom(qint64 row, const ExportColumns& columns);

    // The columns of the given row of QBCUST.TXT, counted from 1.
    [[nodiscard]] const ExportColumns& columnsOf(qint64 row) const;

    // Where the columns change, in row order; none where every row has the designed columns.
    [[nodiscard]] const std::vector<ColumnsFrom>& changes() const { return m_changes; }

    friend bool operator==(const ExportLayout&, const ExportLayout&) = default;

private:
    std::vector<ColumnsFrom> m_changes;
};

} // namespace brevik
