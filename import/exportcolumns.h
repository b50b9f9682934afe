#pragma once

namespace brevik {

// Where the contact and the tax mark stand in a customer row. The designed positions are
// fields 19 and 23; an export whose "!CUST" header names CONT1 and TAXABLE elsewhere moves
// them, since QuickBooks moves these columns between versions. Fields are numbered from 1.
struct ExportColumns
{
    static constexpr int DesignedContactField = 19;
    static constexpr int DesignedTaxField = 23;

    int contactField = DesignedContactField;
    int taxField = DesignedTaxField;

    friend bool operator==(const ExportColumns&, const ExportColumns&) = default;
};

} // namespace brevik
