#include "cp1252.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>

namespace brevik {
namespace {

// The 256 characters of the code page, asked of Qt once. Decoding through the table keeps the
// import's inner loop free of converter state; every byte maps to exactly one character.
const std::array<char16_t, 256>& decodeTable()
{
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        QStringDecoder decoder("windows-1252");
        for (int b = 0; b < 256; ++b) {
            const char byte = static_cast<char>(b);
            const QString one = decoder.isValid() ? decoder.decode(QByteArrayView(&byte, 1)) : QString();
            t[static_cast<std::size_t>(b)] = one.size() == 1 ? one.at(0).unicode() : static_cast<char16_t>(b);
        }
        return t;
    }();
    return table;
}

} // namespace

QString fromCp1252(const char* data, qsizetype size)
{
    const auto& table = decodeTable();
    QString text(size, Qt::Uninitialized);
    auto* out = reinterpret_cast<char16_t*>(text.data());
    for (qsizetype i = 0; i < size; ++i)
        out[i] = table[static_cast<unsigned char>(data[i])];
    return text;
}

QByteArray toCp1252(const QString& text)
{
    QStringEncoder encoder("windows-1252", QStringEncoder::Flag::Default);
    if (!encoder.isValid())
        return text.toLatin1();
    QByteArray bytes = encoder.encode(text);
    return bytes;
}

} // namespace brevik
