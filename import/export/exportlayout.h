#pragma once

#include <QtGlobal>

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

// How the text of an export is encoded.
enum class TextEncoding
{
    Windows1252,
    Utf8,
};

// What START learns of an export and STRIP needs to read QBCUST.TXT, which keeps neither the
// header nor the byte-order mark.
struct ExportLayout
{
    ExportColumns columns;
    TextEncoding encoding = TextEncoding::Windows1252;

    friend bool operator==(const ExportLayout&, const ExportLayout&) = default;
};

} // namespace brevik
