#pragma once

#include "import/export/exportlayout.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <initializer_list>

namespace brevik::testing {

// The header QuickBooks for Windows writes today: the contact and the tax mark in columns 20
// and 24, one column later than a customer row without a header has them.
inline constexpr const char* WindowsHeader =
    "!CUST\tNAME\tREFNUM\tTIMESTAMP\tBADDR1\tBADDR2\tBADDR3\tBADDR4\tBADDR5\tSADDR1\tSADDR2\tSADDR3\t"
    "SADDR4\tSADDR5\tPHONE1\tPHONE2\tFAXNUM\tEMAIL\tNOTE\tCONT1\tCONT2\tCTYPE\tTERMS\tTAXABLE\tSALESTAXCODE\t"
    "LIMIT";

// The header of the 1998 import example: no REFNUM or TIMESTAMP, so every column stands
// elsewhere; and the columns the program takes from it.
inline constexpr const char* Example1998Header =
    "!CUST\tNAME\tBADDR1\tBADDR2\tBADDR3\tBADDR4\tBADDR5\tSADDR1\tSADDR2\tSADDR3\tSADDR4\tSADDR5\t"
    "PHONE1\tPHONE2\tFAXNUM\tEMAIL\tNOTE\tCONT1\tCONT2\tCTYPE\tTERMS\tTAXABLE";
inline constexpr ExportColumns Example1998Columns{.fullNameField = 2,
                                                  .nameField = 3,
                                                  .address1Field = 4,
                                                  .address2Field = 5,
                                                  .address2MoreField = 6,
                                                  .lastAddressField = 7,
                                                  .phoneField = 13,
                                                  .contactField = 18,
                                                  .taxField = 22};

// An export of a test's own, row by row, as QuickBooks writes one: Windows-1252, CR LF after
// every row, and a TAB after the last field of a customer row.
class TestExport
{
public:
    // One field of a customer row by its column, numbered from 1 as the program numbers them
    // (column 1 is "CUST" itself). Text is written in Windows-1252, bytes as they are.
    struct Field
    {
        Field(int at, const QString& text);
        Field(int at, QByteArray value)
            : column(at)
            , bytes(std::move(value))
        {}
        Field(int at, const char* value)
            : Field(at, QByteArray(value))
        {}

        int column;
        QByteArray bytes;
    };

    // The "!HDR" rows that name the program and its version at the top of an export.
    TestExport& product();
    // The "!CUST" row that names the columns.
    TestExport& header(const char* names = WindowsHeader);
    // A customer row: the fields given, empty ones between them, as far as the last column given.
    TestExport& customer(std::initializer_list<Field> fields);
    // A customer row with its name where the client's name stands and its street beside it.
    TestExport& customer(const QString& name, const QString& street)
    {
        return customer({{5, name}, {6, street}});
    }
    // A row as it is given, for the rows no export should hold.
    TestExport& row(const QByteArray& bytes);

    [[nodiscard]] const QByteArray& bytes() const { return m_bytes; }
    // Writes the export to the path; false when it could not be written.
    [[nodiscard]] bool writeTo(const QString& path) const;

private:
    QByteArray m_bytes;
};

// Writes the bytes of an export as the named file of the folder and returns its path.
QString writeExport(const QTemporaryDir& folder, const QByteArray& bytes,
                    const QString& name = QStringLiteral("list.iif"));

} // namespace brevik::testing
