#pragma once

#include <QByteArrayView>
#include <QString>

namespace brevik {

// The text of a customer row of an export or of QBCUST.TXT, read by the row's own bytes: a row
// that is valid UTF-8 and holds a multi-byte sequence is UTF-8, any other row is Windows-1252.
// An export saved partly by one program and partly by another mixes the two row by row, so no
// judgement of the whole file reads every row right. A row of ASCII alone, the usual row, costs
// one pass over its bytes besides the copy.
[[nodiscard]] QString decodeRow(QByteArrayView row);

} // namespace brevik
