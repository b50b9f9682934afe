#pragma once

#include <QFlags>

namespace brevik {

// What the import had to leave out of a customer, or could not read in its row, noted where it
// happens so that a plan or a report can tell the operator. The scan notes the row's shape, the
// writer what its rules cut.
enum class RowNote : unsigned
{
    NoTab = 1u << 0,                // the row holds no TAB, so not one field could be read
    CityLineWithoutComma = 1u << 1, // the billing lines after the first two hold text but no comma
    StateCut = 1u << 2,             // the state was longer than it may be stored
    NameCut = 1u << 3,              // a new client's name was cut, so the next import adds it again
};
Q_DECLARE_FLAGS(RowNotes, RowNote)
Q_DECLARE_OPERATORS_FOR_FLAGS(RowNotes)

} // namespace brevik
