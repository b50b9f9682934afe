#pragma once

#include <QString>

#include <array>
#include <cstddef>

namespace brevik {

// Index of each customer field in Text1(0) to Text1(10) of the main window.
enum CustomerField : std::size_t
{
    FieldName = 0,
    FieldCreditLimit = 1,
    FieldTax = 2,
    FieldZip = 3,
    FieldState = 4,
    FieldCity = 5,
    FieldAddress3 = 6,
    FieldAddress2 = 7,
    FieldAddress1 = 8,
    FieldPhone = 9,
    FieldContactName = 10,
};

inline constexpr std::size_t CustomerFieldCount = 11;

// One customer on its way from the import run to the database writer.
using CustomerFields = std::array<QString, CustomerFieldCount>;

// The main window's values that the import reads and writes. The window keeps its controls
// and these values in step; the core works on the values alone, so the tool and the tests
// run the same code as the window.
struct WindowValues
{
    QString txtHold1; // the Orvella data folder, as handed over by the settings
    QString txtHold2; // the QuickBooks folder
    QString gM;       // data folder, refreshed from txtHold1
    QString gQ;       // QuickBooks folder, refreshed from txtHold2
    QString gOpt;     // QuickBooks version value: "0" or "1"
    CustomerFields Text1;
};

} // namespace brevik
