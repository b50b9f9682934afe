#pragma once

#include <QStringView>

#include <optional>

namespace brevik {

// The number a text begins with, read the way the Orvella data has always been read:
// blanks (" ") are passed over wherever they stand, so blanks at the start are skipped and
// blanks between digits ignored; a sign, a decimal point and an exponent (E or D, either case)
// are accepted; a leading &H or &O (either case) reads hexadecimal or octal digits. Reading
// stops at the first character that cannot continue the number, and a text that does not
// begin with a number gives 0.
//
// Hexadecimal and octal digits give a signed 16-bit number while they fit in 16 bits
// (&HFFFF is -1), then a signed 32-bit number (&HFFFFFFFF is -1); beyond 32 bits the digits
// keep their unsigned value.
//
// Nothing when the number is too large for a double (overflow).
[[nodiscard]] std::optional<double> leadingNumber(QStringView text);

// Rounds to a whole 32-bit number, halves to the even neighbour (2.5 gives 2, 3.5 gives 4).
// Nothing when the result lies outside the 32-bit range (overflow).
[[nodiscard]] std::optional<qint32> roundToInt32(double value);

} // namespace brevik
