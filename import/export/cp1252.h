#pragma once

#include <QByteArray>
#include <QString>

namespace brevik {

// Text files of the program are in the Windows-1252 code page. Each byte maps to one
// character and back, so decoding and encoding round-trip every byte.
[[nodiscard]] QString fromCp1252(const char* data, qsizetype size);
[[nodiscard]] inline QString fromCp1252(const QByteArray& bytes)
{
    return fromCp1252(bytes.constData(), bytes.size());
}
// Characters without a Windows-1252 byte become "?".
[[nodiscard]] QByteArray toCp1252(const QString& text);

} // namespace brevik
