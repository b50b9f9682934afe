#pragma once

#include <QStringView>

#include <optional>

namespace brevik {

// The number a text begins with, read the way the Orvella data has always been read:
// blanks at the start are skipped and blanks between digits ignored; a sign, a decimal point
// and an exponent (E or D) are accepted; a leading &H or &O reads hexadecimal or octal digits.
// Reading stops at the first character that cannot continue the number, and a text that does
// not begin with a number gives 0. Nothing when the number is too large to hold (overflow).
[[nodiscard]] std::optional<double> leadingNumber(QStringView text);

// Rounds to a whole 32-bit number, halves to the even neighbour. Nothing when the result lies
// outside the 32-bit range (overflow).
[[nodiscard]] std::optional<qint32> roundToInt32(double value);

} // namespace brevik
