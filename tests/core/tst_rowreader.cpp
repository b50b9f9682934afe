#include "import/export/cp1252.h"
#include "import/export/rowreader.h"

#include <QBuffer>
#include <QIODevice>
#include <QTest>

#include <algorithm>

using brevik::RowReader;

// Rows come out of the reader exactly as they stand between their row ends, whatever the
// size of the reader's buffer.
class tst_RowReader : public QObject
{
    Q_OBJECT

private:
    static QList<QByteArray> rowsOf(const QByteArray& input, qsizetype chunk)
    {
        QByteArray copy = input;
        QBuffer device(&copy);
        device.open(QIODevice::ReadOnly);
        RowReader reader(device, chunk);
        QList<QByteArray> rows;
        QByteArrayView row;
        while (reader.next(row))
            rows.append(row.toByteArray());
        return rows;
    }

private Q_SLOTS:
    void rowEnds_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QList<QByteArray>>("rows");
        using L = QList<QByteArray>;
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << L{"a", "b"};
        QTest::newRow("lone cr") << QByteArray("a\rb\r") << L{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << L{"a", "b"};
        QTest::newRow("mixed") << QByteArray("a\r\nb\rc\nd") << L{"a", "b", "c", "d"};
        QTest::newRow("lf cr is two ends") << QByteArray("a\n\rb") << L{"a", "", "b"};
        QTest::newRow("empty rows kept") << QByteArray("\r\n\r\nx\r\n") << L{"", "", "x"};
        QTest::newRow("no final end") << QByteArray("a\r\nlast") << L{"a", "last"};
        QTest::newRow("empty input") << QByteArray() << L{};
        QTest::newRow("only an end") << QByteArray("\r\n") << L{""};
        QTest::newRow("tabs and nul stay") << QByteArray("C\tU\0S\r\n", 7) << L{QByteArray("C\tU\0S", 5)};
        QTest::newRow("bytes above 127") << QByteArray("Caf\xe9\tS\xfc\xdf\r\n") << L{"Caf\xe9\tS\xfc\xdf"};
    }

    void rowEnds()
    {
        QFETCH(QByteArray, input);
        QFETCH(QList<QByteArray>, rows);
        // Small buffers put every row end, and the two halves of CR LF, across a refill.
        for (qsizetype chunk : {1, 2, 3, 7, 1 << 20})
            QCOMPARE(rowsOf(input, chunk), rows);
    }

    void longRowsAreWhole()
    {
        const QByteArray longRow(RowReader::MaxRowLength - 5, 'x');
        const QByteArray input = "CUST\t" + longRow + "\r\nCUST\n";
        const auto rows = rowsOf(input, 4096);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows.at(0).size(), longRow.size() + 5);
        QCOMPARE(rows.at(1), QByteArray("CUST"));
    }

    // A reading that breaks off gives out only whole rows, and says at which row it stopped;
    // a row without end stops the reading once it passes the limit, holding no more than that.
    void stopsWithoutAHalfRow_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<bool>("breaks"); // the device fails after the input
        QTest::addColumn<QList<QByteArray>>("rows");
        QTest::addColumn<QString>("cause");
        using L = QList<QByteArray>;
        QTest::newRow("read error after a half row")
            << QByteArray("CUST\tA\r\nCUST\tB half") << true << L{"CUST\tA"} << QStringLiteral("row 2: ");
        QTest::newRow("read error after a row end")
            << QByteArray("CUST\tA\r\n") << true << L{"CUST\tA"} << QStringLiteral("row 2: ");
        QTest::newRow("a row past the limit") << QByteArray("CUST\tA\r\n") + QByteArray(5000, '\0') << false
                                              << L{"CUST\tA"} << QStringLiteral("row 2: the row is longer");
    }

    void stopsWithoutAHalfRow()
    {
        QFETCH(QByteArray, input);
        QFETCH(bool, breaks);
        QFETCH(QList<QByteArray>, rows);
        QFETCH(QString, cause);
        // Gives the input, then fails or gives zeros without end, counting what was asked of it.
        struct Device : QIODevice
        {
            QByteArray input;
            bool breaks = false;
            qint64 at = 0;
            qint64 readData(char* data, qint64 max) override
            {
                if (at >= input.size()) {
                    if (breaks)
                        return -1;
                    std::fill_n(data, max, '\0');
                    at += max;
                    return max;
                }
                const qint64 n = std::min(max, input.size() - at);
                std::copy_n(input.constData() + at, n, data);
                at += n;
                return n;
            }
            qint64 writeData(const char*, qint64) override { return -1; }
            bool isSequential() const override { return true; }
        } device;
        device.input = input;
        device.breaks = breaks;
        device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        RowReader reader(device, 64, 4096);
        QList<QByteArray> got;
        QByteArrayView row;
        while (reader.next(row))
            got.append(row.toByteArray());
        QCOMPARE(got, rows);
        QVERIFY(reader.failed());
        QVERIFY2(reader.errorString().startsWith(u"reading stopped at " + cause),
                 qPrintable(reader.errorString()));
        QVERIFY2(device.at < 4096 + 3 * 64 + input.size(), "the reader held more than one row");
    }

    void codePageRoundTrips()
    {
        QByteArray every(256, '\0');
        for (int b = 0; b < 256; ++b)
            every[b] = static_cast<char>(b);
        const QString text = brevik::fromCp1252(every);
        QCOMPARE(text.size(), 256);
        QCOMPARE(text.at(0xE9), QChar(0xE9));
        QCOMPARE(brevik::toCp1252(text), every);
        // Beyond the code page: one "?" for each character, whether it takes one or two units.
        QCOMPARE(brevik::toCp1252(QStringLiteral(u"\u0100\u0080\U0001F600x")), QByteArray("???x"));
    }

    // Where the code page parts from Latin-1, byte by byte and both ways; a converter that fell
    // back to Latin-1 would give control characters here.
    void codePageHighBytes_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QChar>("character");
        const QString characters =
            QStringLiteral(u"\u20AC\u0081\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152"
                           u"\u008D\u017D\u008F\u0090\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122"
                           u"\u0161\u203A\u0153\u009D\u017E\u0178");
        for (int i = 0; i < 32; ++i)
            QTest::addRow("0x%X", 0x80 + i) << 0x80 + i << characters.at(i);
    }

    void codePageHighBytes()
    {
        QFETCH(int, byte);
        QFETCH(QChar, character);
        const QByteArray one(1, static_cast<char>(byte));
        QCOMPARE(brevik::fromCp1252(one), QString(character));
        QCOMPARE(brevik::toCp1252(QString(character)), one);
    }
};

QTEST_GUILESS_MAIN(tst_RowReader)
#include "tst_rowreader.moc"
