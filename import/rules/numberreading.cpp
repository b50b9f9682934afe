#include "numberreading.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace brevik {

namespace {

// Walks the text, passing over blanks; 0 stands for the end (a NUL in the text cannot
// continue a number either).
class Cursor
{
public:
    explicit Cursor(QStringView text)
        : m_text(text)
    {}

    [[nodiscard]] char16_t peek()
    {
        while (m_pos < m_text.size() && m_text[m_pos] == u' ')
            ++m_pos;
        return m_pos < m_text.size() ? m_text[m_pos].unicode() : u'\0';
    }

    void advance() { ++m_pos; }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

bool isDecimalDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int digitValue(char16_t c, int base)
{
    int value = -1;
    if (isDecimalDigit(c))
        value = c - u'0';
    else if (c >= u'a' && c <= u'f')
        value = c - u'a' + 10;
    else if (c >= u'A' && c <= u'F')
        value = c - u'A' + 10;
    return value < base ? value : -1;
}

std::optional<double> readRadixDigits(Cursor& cursor, int base)
{
    const int bitsPerDigit = base == 16 ? 4 : 3;
    quint64 value = 0;
    bool wide = false; // more digits than 64 bits hold: go on in floating point
    double wideValue = 0;
    for (int digit = digitValue(cursor.peek(), base); digit >= 0; digit = digitValue(cursor.peek(), base)) {
        cursor.advance();
        if (!wide && (value >> (64 - bitsPerDigit)) != 0) {
            wide = true;
            wideValue = static_cast<double>(value);
        }
        if (wide)
            wideValue = wideValue * base + digit;
        else
            value = (value << bitsPerDigit) | static_cast<quint64>(digit);
    }
    if (wide)
        return std::isinf(wideValue) ? std::nullopt : std::optional<double>(wideValue);
    if (value <= 0xFFFF)
        return static_cast<double>(static_cast<qint16>(static_cast<quint16>(value)));
    if (value <= 0xFFFFFFFF)
        return static_cast<double>(static_cast<qint32>(static_cast<quint32>(value)));
    return static_cast<double>(value);
}

// Decimal digits, at most one point, then an optional exponent. The digits are gathered
// without the point and handed to the standard conversion with a power of ten, so the result
// is the double nearest to the number written, however many digits it has.
std::optional<double> readDecimal(Cursor& cursor)
{
    bool negative = false;
    char16_t c = cursor.peek();
    if (c == u'-' || c == u'+') {
        negative = c == u'-';
        cursor.advance();
    }

    QVarLengthArray<char, 64> digits; // without leading zeros
    qint64 power = 0;                 // the power of ten of the last digit read
    bool afterPoint = false;
    for (c = cursor.peek();; c = cursor.peek()) {
        if (isDecimalDigit(c)) {
            if (!digits.isEmpty() || c != u'0')
                digits.append(static_cast<char>(c));
            if (afterPoint)
                --power;
        } else if (c == u'.' && !afterPoint) {
            afterPoint = true;
        } else {
            break;
        }
        cursor.advance();
    }

    if (c == u'E' || c == u'e' || c == u'D' || c == u'd') {
        cursor.advance();
        bool negativeExponent = false;
        c = cursor.peek();
        if (c == u'-' || c == u'+') {
            negativeExponent = c == u'-';
            cursor.advance();
        }
        // Far beyond any double; keeps the sum below from overflowing.
        constexpr qint64 ExponentCap = 1'000'000'000;
        qint64 exponent = 0;
        for (c = cursor.peek(); isDecimalDigit(c); c = cursor.peek()) {
            cursor.advance();
            exponent = std::min(exponent * 10 + (c - u'0'), ExponentCap);
        }
        power += negativeExponent ? -exponent : exponent;
    }

    if (digits.isEmpty())
        return 0.0;

    // The number lies in [10^(magnitude - 1), 10^magnitude).
    const qint64 magnitude = digits.size() + power;
    if (magnitude > std::numeric_limits<double>::max_exponent10 + 1)
        return std::nullopt;
    if (magnitude < std::numeric_limits<double>::min_exponent10 - 20)
        return 0.0;

    // Up to 15 digits and 22 powers of ten are held exactly, and one division or product of
    // exact values is rounded correctly: the common short numbers need no conversion call.
    constexpr qsizetype ExactDigits = 15;
    constexpr qint64 ExactPower = 22;
    if (digits.size() <= ExactDigits && power >= -ExactPower && power <= ExactPower) {
        qint64 whole = 0;
        for (const char digit : digits)
            whole = whole * 10 + (digit - '0');
        double scale = 1.0;
        for (qint64 p = 0; p < (power < 0 ? -power : power); ++p)
            scale *= 10.0;
        const double value =
            power < 0 ? static_cast<double>(whole) / scale : static_cast<double>(whole) * scale;
        return negative ? -value : value;
    }

    const std::string exponentText = 'e' + std::to_string(power);
    digits.append(exponentText.data(), static_cast<qsizetype>(exponentText.size()));
    double value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    Q_UNUSED(end);
    if (error == std::errc::result_out_of_range)
        return magnitude > 0 ? std::nullopt : std::optional<double>(0.0);
    if (error != std::errc() || std::isinf(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<double> leadingNumber(QStringView text)
{
    Cursor cursor(text);
    if (cursor.peek() != u'&')
        return readDecimal(cursor);
    cursor.advance();
    const char16_t radix = cursor.peek();
    if (radix == u'H' || radix == u'h') {
        cursor.advance();
        return readRadixDigits(cursor, 16);
    }
    if (radix == u'O' || radix == u'o') {
        cursor.advance();
        return readRadixDigits(cursor, 8);
    }
    return 0.0;
}

std::optional<qint32> roundToInt32(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    double whole = std::floor(value);
    const double fraction = value - whole; // exact for every double
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < static_cast<double>(std::numeric_limits<qint32>::min()) ||
        whole > static_cast<double>(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return static_cast<qint32>(whole);
}

} // namespace brevik
