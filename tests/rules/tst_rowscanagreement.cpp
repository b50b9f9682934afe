#include "plainscan.h"
#include "support/testexport.h"

#include "import/rules/rowscan.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace brevik;
using brevik::testing::PlainScan;

namespace {

// Pieces that meet every rule: names that begin with CUST, quotes, commas, blanks, tax marks.
const QStringList Pieces{QString(),
                         u"CUST"_s,
                         u"CUSTOM"_s,
                         u"\"CUST\"x"_s,
                         u"CUS"_s,
                         u"Cust"_s,
                         u"Acme"_s,
                         u"Acme:Roof"_s,
                         u"\"Acme, Inc\""_s,
                         u"a\"b"_s,
                         u"\0"_s,
                         u"CU\0ST"_s,
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

Q_DECLARE_METATYPE(brevik::ExportColumns)

// The scan that works on slices agrees with the rule written out plainly, on rows built from
// pieces that meet every rule, for every version value and column layout; and so does the
// test for a job's row.
class tst_RowScanAgreement : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void agreesWithThePlainRule_data()
    {
        QTest::addColumn<QString>("gOpt");
        QTest::addColumn<ExportColumns>("columns");

        QTest::newRow("version 0, designed columns") << u"0"_s << ExportColumns();
        QTest::newRow("version 1, header columns")
            << u"1"_s << ExportColumns{.contactField = 20, .taxField = 24};
        QTest::newRow("version 1, oldest layout")
            << u"1"_s << ExportColumns{.contactField = 18, .taxField = 22};
        QTest::newRow("version 2") << u"2"_s << ExportColumns();
        QTest::newRow("tax before the address lines")
            << u"0"_s << ExportColumns{.contactField = 6, .taxField = 7};
        QTest::newRow("contact on the name") << u"1"_s << ExportColumns{.contactField = 5, .taxField = 9};
        QTest::newRow("1998 import example") << u"1"_s << brevik::testing::Example1998Columns;
        QTest::newRow("address lines in reverse, telephone on one") << u"0"_s
                                                                    << ExportColumns{.fullNameField = 7,
                                                                                     .nameField = 3,
                                                                                     .address1Field = 8,
                                                                                     .address2Field = 9,
                                                                                     .address2MoreField = 8,
                                                                                     .lastAddressField = 7,
                                                                                     .phoneField = 9};
    }

    void agreesWithThePlainRule()
    {
        QFETCH(QString, gOpt);
        QFETCH(ExportColumns, columns);
        const ScanSettings settings{gOpt, columns};

        QRandomGenerator random(20'260'101u +
                                static_cast<quint32>(columns.contactField * 100 + columns.taxField));
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
            if (isJobRow(row, columns) != PlainScan::isJob(row, columns)) {
                qWarning().noquote() << "row:" << row;
                QCOMPARE(isJobRow(row, columns), PlainScan::isJob(row, columns));
            }
        }
    }
};

QTEST_GUILESS_MAIN(tst_RowScanAgreement)
#include "tst_rowscanagreement.moc"
