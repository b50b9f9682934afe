#include "import/numberreading.h"
#include "import/rowscan.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace brevik;

namespace {

// The scan exactly as the rule is worded: one character at a time into the current text,
// positions counted from 1, a search that finds nothing giving 0.
class PlainScan
{
public:
    PlainScan(const QString& gOpt, ExportColumns columns)
        : m_versionTakesBoth(gOpt == u"0"_s || gOpt == u"1"_s)
        , m_columns(columns)
    {}

    bool scan(const QString& row, CustomerFields& text1)
    {
        bool named = false;
        QString current;
        int count = 0;
        for (const QChar c : row) {
            if (c == u'\t') {
                ++count;
                if (current.left(4) != u"CUST"_s && applyRules(count, current, text1, named))
                    return named;
                current = QString();
            } else if (c != u'"') {
                current += c;
            }
        }
        return named;
    }

private:
    static qsizetype inStr(qsizetype start, const QString& v, QChar c) { return v.indexOf(c, start - 1) + 1; }

    static void split(const QString& v, CustomerFields& text1)
    {
        const qsizetype h = inStr(1, v, u',');
        text1[5] = v.left(h - 1);
        const qsizetype s1 = inStr(h + 1, v, u' ');
        const qsizetype s2 = inStr(s1 + 1, v, u' ');
        if (s1 > 0 && s2 > s1)
            text1[4] = v.mid(s1, s2 - s1 - 1);
        else if (s1 > 0 && s2 == 0)
            text1[4] = v.mid(s1);
        else
            text1[4] = QString();
        const double number = leadingNumber(v.right(3)).value_or(0);
        text1[3] = number > 0 && s2 > 0 ? v.mid(s2) : QString();
    }

    // True when the row ends.
    bool applyRules(int n, const QString& v, CustomerFields& text1, bool& named) const
    {
        if (n == 5) {
            if (v.isEmpty())
                return true;
            text1[0] = v;
            named = true;
        }
        if (n == 6)
            text1[8] = v;
        if (!v.contains(u',') && n == 7) {
            text1[7] = v;
            return false;
        }
        if (!v.contains(u',') && n == 8) {
            if (!v.isEmpty())
                text1[7] = text1[7].isEmpty() ? v : text1[7] + u", "_s + v;
            return false;
        }
        if (v.contains(u',') && n > 6)
            split(v, text1);
        if (n == 15)
            text1[9] = v;
        if (m_versionTakesBoth && n == m_columns.contactField)
            text1[10] = v;
        if (m_versionTakesBoth && n == m_columns.taxField) {
            text1[2] = v == u"Y"_s ? u"1"_s : u"0"_s;
            return true;
        }
        return false;
    }

    bool m_versionTakesBoth;
    ExportColumns m_columns;
};

// Pieces that meet every rule: names that begin with CUST, quotes, commas, blanks, tax marks.
const QStringList Pieces{QString(),
                         u"CUST"_s,
                         u"CUSTOM"_s,
                         u"\"CUST\"x"_s,
                         u"CUS"_s,
                         u"Cust"_s,
                         u"Acme"_s,
                         u"\"Acme, Inc\""_s,
                         u"a\"b"_s,
                         u"\""_s,
                         u"\"\""_s,
                         u"Y"_s,
                         u"y"_s,
                         u"\"Y\""_s,
                         u"N"_s,
                         u","_s,
                         u" , "_s,
                         u"  "_s,
                         u"Nome, AK"_s,
                         u"Springfield, IL 62704"_s,
                         u"Springfield,IL 62704"_s,
                         u"Smith, John"_s,
                         u"New York,NY10001"_s,
                         u"Toronto, ON M5V 3L9"_s,
                         u"Fargo, ND 58-12"_s,
                         u"X, &H1F"_s,
                         u"1 (305) 555"_s,
                         u"Suite 4"_s,
                         u"v, 1E400"_s,
                         u"x,  2.5"_s};

QString randomRow(QRandomGenerator& random)
{
    QString row;
    const int fields = random.bounded(40);
    for (int n = 0; n < fields; ++n) {
        const int parts = random.bounded(3);
        for (int p = 0; p < parts; ++p)
            row += Pieces.at(random.bounded(Pieces.size()));
        row += u'\t';
    }
    if (random.bounded(2))
        row += Pieces.at(random.bounded(Pieces.size())); // text after the last TAB
    return row;
}

} // namespace

// The scan that works on slices agrees with the rule written out plainly, on rows built from
// pieces that meet every rule, for every version value and column layout.
class tst_RowScanAgreement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreesWithThePlainRule_data()
    {
        QTest::addColumn<QString>("gOpt");
        QTest::addColumn<int>("contactField");
        QTest::addColumn<int>("taxField");

        QTest::newRow("version 0, designed columns") << u"0"_s << 19 << 23;
        QTest::newRow("version 1, header columns") << u"1"_s << 20 << 24;
        QTest::newRow("version 1, oldest layout") << u"1"_s << 18 << 22;
        QTest::newRow("version 2") << u"2"_s << 19 << 23;
        QTest::newRow("tax before the address lines") << u"0"_s << 6 << 7;
        QTest::newRow("contact on the name") << u"1"_s << 5 << 9;
    }

    void agreesWithThePlainRule()
    {
        QFETCH(QString, gOpt);
        QFETCH(int, contactField);
        QFETCH(int, taxField);
        const ExportColumns columns{contactField, taxField};
        const ScanSettings settings{gOpt, columns};

        QRandomGenerator random(20'260'101u + static_cast<quint32>(contactField * 100 + taxField));
        // One set of fields for every row, cleared as the import run clears them, so that
        // buffers left by one row are reused by the next.
        CustomerFields fast;
        for (int i = 0; i < 20'000; ++i) {
            const QString row = randomRow(random);
            for (QString& field : fast)
                field.truncate(0);
            const bool fastNamed = scanRow(row, settings, fast);

            CustomerFields plain;
            const bool plainNamed = PlainScan(gOpt, columns).scan(row, plain);

            if (fastNamed != plainNamed || fast != plain) {
                qWarning().noquote() << "row:" << row;
                QCOMPARE(QStringList(fast.begin(), fast.end()), QStringList(plain.begin(), plain.end()));
                QCOMPARE(fastNamed, plainNamed);
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_RowScanAgreement)
#include "tst_rowscanagreement.moc"
