#include "textencoding.h"

#include "import/export/cp1252.h"

namespace brevik {
namespace {

bool holdsHighBytes(QByteArrayView row)
{
    // No early exit, so that the compiler can take many bytes at a time.
    unsigned char any = 0;
    for (const char c : row)
        any |= static_cast<unsigned char>(c);
    return (any & 0x80) != 0;
}

} // namespace

QString decodeRow(QByteArrayView row)
{
    // ASCII reads alike in both encodings.
    if (!holdsHighBytes(row))
        return QString::fromLatin1(row);
    if (row.isValidUtf8())
        return QString::fromUtf8(row);
    return fromCp1252(row.data(), row.size());
}

} // namespace brevik
