#include "cp1252.h"

#include <array>

namespace brevik {
namespace {

// Bytes 0x80 to 0x9F, where the code page differs from Latin-1. The five bytes it leaves
// unassigned keep the control character of the same number, so that every byte round-trips.
// The table is our own rather than asked of a converter: not every build of Qt carries one
// for this code page, and Latin-1 in its place would turn the euro sign and the curly quotes
// into control characters.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80 to 87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88 to 8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90 to 97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98 to 9F
};

constexpr std::array<char16_t, 256> DecodeTable = [] {
    std::array<char16_t, 256> table{};
    for (std::size_t b = 0; b < table.size(); ++b)
        table[b] = static_cast<char16_t>(b);
    for (std::size_t i = 0; i < HighControls.size(); ++i)
        table[0x80 + i] = HighControls[i];
    return table;
}();

// The byte of a character, or '?' when the code page has none.
char encodeOne(char16_t c)
{
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QString fromCp1252(const char* data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = DecodeTable[static_cast<unsigned char>(data[i])];
    return text;
}

QByteArray toCp1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        // A character beyond the 16-bit range has no byte either, and gives one "?".
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        bytes.append(encodeOne(c.unicode()));
    }
    return bytes;
}

} // namespace brevik
