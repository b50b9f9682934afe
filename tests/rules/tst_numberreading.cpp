#include "import/rules/numberreading.h"

#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(std::optional<double>)
Q_DECLARE_METATYPE(std::optional<qint32>)

namespace QTest {

template<> char* toString(const std::optional<double>& number)
{
    return qstrdup(number ? QByteArray::number(*number, 'g', 17).constData() : "overflow");
}

template<> char* toString(const std::optional<qint32>& number)
{
    return qstrdup(number ? QByteArray::number(*number).constData() : "overflow");
}

} // namespace QTest

namespace {

constexpr std::optional<double> Overflow = std::nullopt;

} // namespace

// The number a text begins with, and its rounding to a 32-bit whole number: how client
// numbers and the end of a city line are read.
class tst_NumberReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<double>>("number");
        using N = std::optional<double>;

        // The ends of city lines.
        QTest::newRow("704") << u"704"_s << N(704);
        QTest::newRow("2T6 stops at the letter") << u"2T6"_s << N(2);
        QTest::newRow("blank, then AK") << u" AK"_s << N(0);
        QTest::newRow("000") << u"000"_s << N(0);
        QTest::newRow("-12") << u"-12"_s << N(-12);

        QTest::newRow("empty") << QString() << N(0);
        QTest::newRow("only blanks") << u"   "_s << N(0);
        QTest::newRow("blanks between digits") << u" 2 45 7"_s << N(2457);
        QTest::newRow("street number") << u"    1615 198th Street N.E."_s << N(1615198);
        QTest::newRow("blank after the sign") << u"- 5"_s << N(-5);
        QTest::newRow("plus") << u"+7"_s << N(7);
        QTest::newRow("two signs") << u"--5"_s << N(0);
        QTest::newRow("comma stops") << u"1,5"_s << N(1);
        QTest::newRow("tab is no blank") << u"\t5"_s << N(0);
        QTest::newRow("second point stops") << u"12.5.3"_s << N(12.5);
        QTest::newRow("point first") << u".5"_s << N(0.5);
        QTest::newRow("point alone") << u"."_s << N(0);
        QTest::newRow("leading zeros after the point") << u"0.0001"_s << N(0.0001);
        QTest::newRow("exponent E") << u"1E2"_s << N(100);
        QTest::newRow("exponent e with sign") << u"2.5e+1"_s << N(25);
        QTest::newRow("exponent D") << u"1D2"_s << N(100);
        QTest::newRow("exponent d negative") << u"1d-2"_s << N(0.01);
        QTest::newRow("blank inside the exponent") << u"1E 2"_s << N(100);
        QTest::newRow("exponent without digits") << u"7E"_s << N(7);
        QTest::newRow("point ends the exponent") << u"1E2.5"_s << N(100);
        QTest::newRow("second exponent stops") << u"1E2E3"_s << N(100);
        QTest::newRow("sign after exponent digits stops") << u"1E2-3"_s << N(100);
        QTest::newRow("exponent without a number") << u"E5"_s << N(0);
        QTest::newRow("zero with a huge exponent") << u"0E999"_s << N(0);
        QTest::newRow("underflow gives 0") << u"1E-400"_s << N(0);
        QTest::newRow("nearest double of many digits")
            << u"123456789012345678901234567890"_s << N(1.2345678901234568e29);
        QTest::newRow("halfway between doubles") << u"9007199254740993"_s << N(9007199254740992.0);
        QTest::newRow("tenth") << u"0.1"_s << N(0.1);
        QTest::newRow("fifteen digits, power -22") << u"123456789012345E-22"_s << N(1.23456789012345e-8);
        QTest::newRow("power 22") << u"1.5E22"_s << N(1.5e22);
        QTest::newRow("power 23") << u"1.5E23"_s << N(1.5e23);

        QTest::newRow("hex") << u"&H1F"_s << N(31);
        QTest::newRow("hex lower case") << u"&h1f"_s << N(31);
        QTest::newRow("octal") << u"&O17"_s << N(15);
        QTest::newRow("octal lower case") << u"&o17"_s << N(15);
        QTest::newRow("blanks around hex") << u"  & H 1 F"_s << N(31);
        QTest::newRow("hex stops at G") << u"&H1G"_s << N(1);
        QTest::newRow("octal stops at 8") << u"&O78"_s << N(7);
        QTest::newRow("hex without digits") << u"&H"_s << N(0);
        QTest::newRow("ampersand alone") << u"&X1"_s << N(0);
        QTest::newRow("sign before hex") << u"-&H1"_s << N(0);
        QTest::newRow("hex FFFF is 16-bit") << u"&HFFFF"_s << N(-1);
        QTest::newRow("hex 8000") << u"&H8000"_s << N(-32768);
        QTest::newRow("hex leading zeros") << u"&H0000FFFF"_s << N(-1);
        QTest::newRow("hex 10000") << u"&H10000"_s << N(65536);
        QTest::newRow("hex FFFFFFFF is 32-bit") << u"&HFFFFFFFF"_s << N(-1);
        QTest::newRow("hex beyond 32 bits") << u"&H100000000"_s << N(4294967296.0);
        QTest::newRow("octal 177777 is 16-bit") << u"&O177777"_s << N(-1);

        QTest::newRow("1e400 overflows") << u"1e400"_s << Overflow;
        QTest::newRow("400 digits overflow") << u"1"_s + QString(400, u'0') << Overflow;
        QTest::newRow("negative overflow") << u"-1D309"_s << Overflow;
        QTest::newRow("largest double")
            << u"1.7976931348623157E308"_s << N(std::numeric_limits<double>::max());
        QTest::newRow("hex beyond a double") << u"&H"_s + QString(300, u'F') << Overflow;
    }

    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<double>, number);
        QCOMPARE(brevik::leadingNumber(text), number);
    }

    // Decimal numbers are the nearest double to what is written, short or long.
    void decimalsAreNearestDoubles()
    {
        QRandomGenerator random(7);
        for (int i = 0; i < 100'000; ++i) {
            QByteArray text;
            const int digits = 1 + random.bounded(20);
            const int point = random.bounded(digits + 1);
            for (int d = 0; d < digits; ++d) {
                if (d == point)
                    text += '.';
                text += char('0' + random.bounded(10));
            }
            text += 'E' + QByteArray::number(random.bounded(-40, 41));
            double expected = 0;
            std::from_chars(text.constBegin(), text.constEnd(), expected);
            const auto read = brevik::leadingNumber(QString::fromLatin1(text));
            if (read != expected) {
                qWarning() << "text:" << text;
                QCOMPARE(read, std::optional<double>(expected));
            }
        }
    }

    void rounding_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<std::optional<qint32>>("whole");
        using W = std::optional<qint32>;

        QTest::newRow("2.5 to even 2") << 2.5 << W(2);
        QTest::newRow("3.5 to even 4") << 3.5 << W(4);
        QTest::newRow("-2.5 to even -2") << -2.5 << W(-2);
        QTest::newRow("-3.5 to even -4") << -3.5 << W(-4);
        QTest::newRow("0.5 to 0") << 0.5 << W(0);
        QTest::newRow("-0.5 to 0") << -0.5 << W(0);
        QTest::newRow("just below a half") << 2.4999999 << W(2);
        QTest::newRow("just above a half") << 2.5000001 << W(3);
        QTest::newRow("largest") << 2147483647.0 << W(2147483647);
        QTest::newRow("largest by rounding") << 2147483646.5 << W(2147483646);
        QTest::newRow("2147483647.5 overflows") << 2147483647.5 << W();
        QTest::newRow("smallest") << -2147483648.0 << W(-2147483648);
        QTest::newRow("smallest by rounding") << -2147483648.5 << W(-2147483648);
        QTest::newRow("below the smallest") << -2147483649.0 << W();
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << W();
    }

    void rounding()
    {
        QFETCH(double, value);
        QFETCH(std::optional<qint32>, whole);
        QCOMPARE(brevik::roundToInt32(value), whole);
    }

    // Client numbers as the allocation reads them: nothing stands for an overflow.
    void clientNumbers_data()
    {
        QTest::addColumn<QString>("clientId");
        QTest::addColumn<std::optional<qint32>>("number");
        using W = std::optional<qint32>;

        QTest::newRow("000100") << u"000100"_s << W(100);
        QTest::newRow("17B") << u"17B"_s << W(17);
        QTest::newRow("000009") << u"000009"_s << W(9);
        QTest::newRow("42 with a blank in front") << u" 42"_s << W(42);
        QTest::newRow("A17") << u"A17"_s << W(0);
        QTest::newRow("empty") << QString() << W(0);
        QTest::newRow("999999") << u"999999"_s << W(999999);
        QTest::newRow("12.5 rounds to 12") << u"12.5"_s << W(12);
        QTest::newRow("13.5 rounds to 14") << u"13.5"_s << W(14);
        QTest::newRow("1E3") << u"1E3"_s << W(1000);
        QTest::newRow("beyond 32 bits") << u"2147483647.5"_s << W();
        QTest::newRow("beyond a double") << u"1e400"_s << W();
    }

    void clientNumbers()
    {
        QFETCH(QString, clientId);
        QFETCH(std::optional<qint32>, number);
        const std::optional<double> read = brevik::leadingNumber(clientId);
        QCOMPARE(read ? brevik::roundToInt32(*read) : std::nullopt, number);
    }
};

QTEST_GUILESS_MAIN(tst_NumberReading)
#include "tst_numberreading.moc"
