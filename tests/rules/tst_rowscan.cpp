#include "import/export/cp1252.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "import/rules/rowscan.h"
#include "support/testexport.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QTest>

#include <map>

using namespace Qt::StringLiterals;
using namespace brevik;
using brevik::testing::Example1998Columns;

namespace {

// A row whose numbered fields hold the given texts and the others nothing, each field
// followed by a TAB.
QString rowOf(const std::map<int, QString>& fields)
{
    QString row;
    for (int n = 1; n <= fields.rbegin()->first; ++n) {
        const auto found = fields.find(n);
        row += (found == fields.end() ? QString() : found->second) + u'\t';
    }
    return row;
}

QStringList customer(const std::map<CustomerField, QString>& set)
{
    QStringList fields(CustomerFieldCount);
    for (const auto& [index, text] : set)
        fields[index] = text;
    return fields;
}

QStringList scanned(const QString& row, const ScanSettings& settings, bool* named = nullptr)
{
    CustomerFields fields;
    const bool gaveName = scanRow(row, settings, fields);
    if (named)
        *named = gaveName;
    return QStringList(fields.begin(), fields.end());
}

const ExportColumns Designed;

} // namespace

Q_DECLARE_METATYPE(brevik::ExportColumns)
Q_DECLARE_METATYPE(brevik::RowNotes)

// How one row of QBCUST.TXT is cut into the customer fields.
class tst_RowScan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cityLine_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("city");
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("zip");

        QTest::newRow("city, state zip")
            << u"Springfield, IL 62704"_s << u"Springfield"_s << u"IL"_s << u"62704"_s;
        QTest::newRow("state written out")
            << u"Fairbanks, Alaska 99701"_s << u"Fairbanks"_s << u"Alaska"_s << u"99701"_s;
        QTest::newRow("no zip") << u"Nome, AK"_s << u"Nome"_s << u"AK"_s << QString();
        QTest::newRow("no blank after the comma")
            << u"Springfield,IL 62704"_s << u"Springfield"_s << u"62704"_s << QString();
        QTest::newRow("zip ending 000 is dropped")
            << u"Springfield, IL 62000"_s << u"Springfield"_s << u"IL"_s << QString();
        QTest::newRow("zip plus four")
            << u"Springfield, IL 62704-1234"_s << u"Springfield"_s << u"IL"_s << u"62704-1234"_s;
        QTest::newRow("contact name") << u"Smith, John"_s << u"Smith"_s << u"John"_s << QString();
        QTest::newRow("two blanks before the zip")
            << u"Bayshore, CA  94482"_s << u"Bayshore"_s << u"CA"_s << u" 94482"_s;
        QTest::newRow("postal code ending 2T6")
            << u"Vancouver, BC V5K2T6"_s << u"Vancouver"_s << u"BC"_s << u"V5K2T6"_s;
        QTest::newRow("postal code with a blank")
            << u"Toronto, ON M5V 3L9"_s << u"Toronto"_s << u"ON"_s << u"M5V 3L9"_s;
        QTest::newRow("ending blank, then AK")
            << u"Juneau, Alaska AK"_s << u"Juneau"_s << u"Alaska"_s << QString();
        QTest::newRow("ending -12") << u"Fargo, ND 58-12"_s << u"Fargo"_s << u"ND"_s << QString();
        // Without a blank behind the comma the second blank is looked for from the start.
        QTest::newRow("blank only in the city")
            << u"New York,NY10001"_s << u"New York"_s << QString() << u"York,NY10001"_s;
        QTest::newRow("second comma stays")
            << u"Paris, TX, USA 75460"_s << u"Paris"_s << u"TX,"_s << u"USA 75460"_s;
        QTest::newRow("comma alone") << u","_s << QString() << QString() << QString();
    }

    void cityLine()
    {
        QFETCH(QString, line);
        QFETCH(QString, city);
        QFETCH(QString, state);
        QFETCH(QString, zip);

        CustomerFields fields;
        fields[FieldZip] = u"stale"_s; // a later city line replaces every part
        splitCityLine(line, fields);
        QCOMPARE(fields[FieldCity], city);
        QCOMPARE(fields[FieldState], state);
        QCOMPARE(fields[FieldZip], zip);
    }

    void scan_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("gOpt");
        QTest::addColumn<ExportColumns>("columns");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("named");

        const auto add = [](const char* name, const std::map<int, QString>& row,
                            const std::map<CustomerField, QString>& expected, bool named = true,
                            const QString& gOpt = u"0"_s, ExportColumns columns = Designed) {
            QTest::newRow(name) << rowOf(row) << gOpt << columns << customer(expected) << named;
        };
        const auto addRaw = [](const char* name, const QString& row, const QStringList& expected,
                               bool named) {
            QTest::newRow(name) << row << u"1"_s << Designed << expected << named;
        };

        add("Acme Supply",
            {{1, u"CUST"_s},
             {2, u"X1"_s},
             {5, u"Acme Supply"_s},
             {6, u"12 Oak St"_s},
             {7, u"Suite 4"_s},
             {8, u"Springfield, IL 62704"_s}},
            {{FieldName, u"Acme Supply"_s},
             {FieldAddress1, u"12 Oak St"_s},
             {FieldAddress2, u"Suite 4"_s},
             {FieldCity, u"Springfield"_s},
             {FieldState, u"IL"_s},
             {FieldZip, u"62704"_s}});
        add("field 8 follows field 7", {{5, u"A"_s}, {7, u"Suite 4"_s}, {8, u"Bldg 2"_s}},
            {{FieldName, u"A"_s}, {FieldAddress2, u"Suite 4, Bldg 2"_s}});
        add("field 8 alone", {{5, u"A"_s}, {8, u"Bldg 2"_s}},
            {{FieldName, u"A"_s}, {FieldAddress2, u"Bldg 2"_s}});
        add("empty field 8", {{5, u"A"_s}, {7, u"Suite 4"_s}, {9, u"x"_s}},
            {{FieldName, u"A"_s}, {FieldAddress2, u"Suite 4"_s}});
        add("city line in field 7", {{5, u"A"_s}, {7, u"Nome, AK"_s}, {8, u"Bldg 2"_s}},
            {{FieldName, u"A"_s},
             {FieldAddress2, u"Bldg 2"_s},
             {FieldCity, u"Nome"_s},
             {FieldState, u"AK"_s}});
        add("quotes dropped",
            {{5, u"\"Acme, Inc.\""_s}, {6, u"12 \"Oak\" St"_s}, {7, u"\"Bayshore, CA  94482\""_s}},
            {{FieldName, u"Acme, Inc."_s},
             {FieldAddress1, u"12 Oak St"_s},
             {FieldCity, u"Bayshore"_s},
             {FieldState, u"CA"_s},
             {FieldZip, u" 94482"_s}});
        add("empty field 5 ends the row",
            {{1, u"CUST"_s}, {6, u"12 Oak St"_s}, {8, u"Springfield, IL 62704"_s}, {23, u"Y"_s}}, {}, false);
        add("field 5 of quotes only is empty", {{5, u"\"\""_s}, {6, u"12 Oak St"_s}}, {}, false);
        add("NUL dropped everywhere", {{5, u"Ac\0me"_s}, {6, u"12 Oak St\0"_s}, {15, u"555\0-0147"_s}},
            {{FieldName, u"Acme"_s}, {FieldAddress1, u"12 Oak St"_s}, {FieldPhone, u"555-0147"_s}});
        add("field 5 of a NUL only is empty", {{5, u"\0"_s}, {6, u"12 Oak St"_s}}, {}, false);
        add("name beginning with CUST",
            {{5, u"CUSTOM SIGNS"_s},
             {6, u"12 Oak St"_s},
             {8, u"Nome, AK"_s},
             {15, u"555-0147"_s},
             {19, u"Jane Roe"_s},
             {23, u"Y"_s}},
            {{FieldAddress1, u"12 Oak St"_s},
             {FieldCity, u"Nome"_s},
             {FieldState, u"AK"_s},
             {FieldPhone, u"555-0147"_s},
             {FieldContactName, u"Jane Roe"_s},
             {FieldTax, u"1"_s}},
            false);
        add("quoted name beginning with CUST", {{5, u"\"CUSTOM SIGNS\""_s}, {6, u"x"_s}},
            {{FieldAddress1, u"x"_s}}, false);
        add("Cust in other case is a name", {{5, u"Custom Signs"_s}}, {{FieldName, u"Custom Signs"_s}});
        add("city line beginning with CUST", {{5, u"A"_s}, {8, u"CUSTER, SD 57730"_s}},
            {{FieldName, u"A"_s}});
        add("tax Y", {{5, u"A"_s}, {23, u"Y"_s}}, {{FieldName, u"A"_s}, {FieldTax, u"1"_s}});
        add("tax quoted Y", {{5, u"A"_s}, {23, u"\"Y\""_s}}, {{FieldName, u"A"_s}, {FieldTax, u"1"_s}});
        add("tax y lower case", {{5, u"A"_s}, {23, u"y"_s}}, {{FieldName, u"A"_s}, {FieldTax, u"0"_s}});
        add("tax empty", {{5, u"A"_s}, {24, u"x"_s}}, {{FieldName, u"A"_s}, {FieldTax, u"0"_s}});
        add("tax field ends the row", {{5, u"A"_s}, {23, u"N"_s}, {24, u"Nome, AK"_s}},
            {{FieldName, u"A"_s}, {FieldTax, u"0"_s}});
        // Only the billing lines after the first two hold the city line; the last of them
        // with a comma wins.
        add("contact with a comma is no city line",
            {{5, u"A"_s}, {8, u"Springfield, IL 62704"_s}, {19, u"Smith, John"_s}, {23, u"Y"_s}},
            {{FieldName, u"A"_s},
             {FieldContactName, u"Smith, John"_s},
             {FieldCity, u"Springfield"_s},
             {FieldState, u"IL"_s},
             {FieldZip, u"62704"_s},
             {FieldTax, u"1"_s}},
            true, u"1"_s);
        add("telephone with a comma is no city line", {{5, u"A"_s}, {15, u"555-0147, ext 2"_s}},
            {{FieldName, u"A"_s}, {FieldPhone, u"555-0147, ext 2"_s}});
        add("ship-to company is no city line",
            {{5, u"Mike Balak"_s},
             {6, u"1800 Appleseed Ct"_s},
             {7, u"Bayshore CA 94326"_s},
             {10, u"Mike Balak"_s},
             {11, u"\"Hair, Nails and Supply\""_s},
             {12, u"330 Main St"_s},
             {13, u"Bayshore CA  94326"_s}},
            {{FieldName, u"Mike Balak"_s},
             {FieldAddress1, u"1800 Appleseed Ct"_s},
             {FieldAddress2, u"Bayshore CA 94326"_s}});
        add("ship-to city line is no city line",
            {{5, u"A"_s}, {7, u"Nome, AK"_s}, {12, u"Fudge, CA 94555"_s}},
            {{FieldName, u"A"_s}, {FieldCity, u"Nome"_s}, {FieldState, u"AK"_s}});
        add("city line in the fifth billing line",
            {{5, u"A"_s}, {7, u"Suite 4"_s}, {8, u"Bldg 2"_s}, {9, u"Nome, AK"_s}},
            {{FieldName, u"A"_s},
             {FieldAddress2, u"Suite 4, Bldg 2"_s},
             {FieldCity, u"Nome"_s},
             {FieldState, u"AK"_s}});
        add("last billing city line wins", {{5, u"A"_s}, {7, u"Springfield, IL 62704"_s}, {9, u"Nome, AK"_s}},
            {{FieldName, u"A"_s}, {FieldCity, u"Nome"_s}, {FieldState, u"AK"_s}});

        const std::map<int, QString> laterComma{{5, u"A"_s},
                                                {8, u"Springfield, IL 62704"_s},
                                                {19, u"Smith, John"_s},
                                                {23, u"Y"_s},
                                                {25, u"Nome, AK"_s}};
        const std::map<CustomerField, QString> wholeRow{{FieldName, u"A"_s},
                                                        {FieldCity, u"Springfield"_s},
                                                        {FieldState, u"IL"_s},
                                                        {FieldZip, u"62704"_s}};
        add("version 2 takes neither contact nor tax", laterComma, wholeRow, true, u"2"_s);
        add("empty version takes neither", laterComma, wholeRow, true, QString());
        add("version 0 with a blank takes neither", laterComma, wholeRow, true, u" 0"_s);

        const ExportColumns moved{.contactField = 20, .taxField = 24};
        const std::map<int, QString> layoutC{
            {5, u"A"_s}, {19, u"R3060255"_s}, {20, u"Jane Roe"_s}, {23, u"Net 30"_s}, {24, u"Y"_s}};
        add("columns moved to 20 and 24", layoutC,
            {{FieldName, u"A"_s}, {FieldContactName, u"Jane Roe"_s}, {FieldTax, u"1"_s}}, true, u"0"_s,
            moved);
        add("moved columns, version 2", layoutC, {{FieldName, u"A"_s}}, true, u"2"_s, moved);
        add("columns moved to 18 and 22",
            {{5, u"A"_s}, {18, u"Jane Roe"_s}, {19, u"Bob"_s}, {22, u"Y"_s}, {23, u"Nome, AK"_s}},
            {{FieldName, u"A"_s}, {FieldContactName, u"Jane Roe"_s}, {FieldTax, u"1"_s}}, true, u"1"_s,
            ExportColumns{.contactField = 18, .taxField = 22});
        // Every column where the 1998 import example's header puts it: no REFNUM, no TIMESTAMP.
        add("1998 import example",
            {{1, u"CUST"_s},
             {2, u"Customer Name"_s},
             {3, u"Customer Name"_s},
             {4, u"123 Main St"_s},
             {5, u"\"Anywhere, AZ 85740\""_s},
             {6, u"USA"_s},
             {11, u"\"Elsewhere, AZ 85701\""_s},
             {13, u"520-555-1212"_s},
             {15, u"520-555-1213"_s},
             {18, u"Sam Sample"_s},
             {22, u"Y"_s}},
            {{FieldName, u"Customer Name"_s},
             {FieldAddress1, u"123 Main St"_s},
             {FieldAddress2, u"USA"_s},
             {FieldCity, u"Anywhere"_s},
             {FieldState, u"AZ"_s},
             {FieldZip, u"85740"_s},
             {FieldPhone, u"520-555-1212"_s},
             {FieldContactName, u"Sam Sample"_s},
             {FieldTax, u"1"_s}},
            true, u"1"_s, Example1998Columns);

        std::map<int, QString> everyField;
        for (int n = 1; n <= 30; ++n)
            everyField[n] = u"v%1"_s.arg(n);
        everyField[1] = u"CUST"_s;
        add("every field filled", everyField,
            {{FieldName, u"v5"_s},
             {FieldAddress1, u"v6"_s},
             {FieldAddress2, u"v7, v8"_s},
             {FieldPhone, u"v15"_s},
             {FieldContactName, u"v19"_s},
             {FieldTax, u"0"_s}});

        addRaw("fewer than five TABs", u"CUST\tX1\t\t\tAcme Supply"_s, customer({}), false);
        addRaw("text after the last TAB", u"CUST\tX1\t\t\tAcme Supply\t12 Oak St"_s,
               customer({{FieldName, u"Acme Supply"_s}}), true);
        addRaw("empty row", QString(), customer({}), false);
    }

    void scan()
    {
        QFETCH(QString, row);
        QFETCH(QString, gOpt);
        QFETCH(ExportColumns, columns);
        QFETCH(QStringList, expected);
        QFETCH(bool, named);

        bool gaveName = false;
        QCOMPARE(scanned(row, {gOpt, columns}, &gaveName), expected);
        QCOMPARE(gaveName, named);
    }

    // What the scan notes of a row's shape, for the notes of a plan or a report.
    void scanNotes_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<ExportColumns>("columns");
        QTest::addColumn<RowNotes>("notes");
        const RowNotes none;
        const RowNotes noComma = RowNote::CityLineWithoutComma;
        QTest::newRow("city line split") << rowOf({{5, u"A"_s}, {7, u"Nome, AK"_s}}) << Designed << none;
        QTest::newRow("street, then city line")
            << rowOf({{5, u"A"_s}, {7, u"Suite 4"_s}, {8, u"Nome, AK"_s}}) << Designed << none;
        QTest::newRow("no billing lines after the street")
            << rowOf({{5, u"A"_s}, {6, u"1 Oak St"_s}, {9, QString()}}) << Designed << none;
        QTest::newRow("city line without a comma")
            << rowOf({{5, u"A"_s}, {7, u"Nome AK 99762"_s}}) << Designed << noComma;
        QTest::newRow("last billing line without a comma")
            << rowOf({{5, u"A"_s}, {9, u"Nome AK 99762"_s}}) << Designed << noComma;
        QTest::newRow("comma only in the ship-to lines")
            << rowOf({{5, u"A"_s}, {7, u"Nome AK"_s}, {12, u"Nome, AK"_s}}) << Designed << noComma;
        QTest::newRow("columns where the header puts them")
            << rowOf({{3, u"A"_s}, {5, u"Nome AK"_s}, {7, u"x"_s}}) << Example1998Columns << noComma;
        QTest::newRow("no TAB") << u"CUST Acme, Nome AK"_s << Designed << RowNotes(RowNote::NoTab);
        QTest::newRow("empty name ends the row")
            << rowOf({{5, QString()}, {7, u"Nome AK"_s}}) << Designed << none;
    }

    void scanNotes()
    {
        QFETCH(QString, row);
        QFETCH(ExportColumns, columns);
        QFETCH(RowNotes, notes);
        CustomerFields fields;
        RowNotes noted = RowNote::StateCut; // replaced, not added to
        scanRow(row, {u"1"_s, columns}, fields, &noted);
        QCOMPARE(noted, notes);
    }

    void longRowsAreScannedWhole()
    {
        const QString name(40'000, u'n');
        const QString row = rowOf({{5, name}, {6, u"12 Oak St"_s}, {8, u"Nome, AK"_s}, {23, u"Y"_s}});
        QCOMPARE(scanned(row, {u"1"_s, Designed}), customer({{FieldName, name},
                                                             {FieldAddress1, u"12 Oak St"_s},
                                                             {FieldCity, u"Nome"_s},
                                                             {FieldState, u"AK"_s},
                                                             {FieldTax, u"1"_s}}));

        // The field count goes on past 32,767 fields.
        const QString wide = u"\t\t\t\tA\t"_s + QString(u"\t"_s).repeated(39'994) + u"Y\t"_s;
        QCOMPARE(scanned(wide, {u"1"_s, {.contactField = 39'999, .taxField = 40'000}})[FieldTax], u"1"_s);
    }

    void jobRow_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<ExportColumns>("columns");
        QTest::addColumn<bool>("job");
        QTest::newRow("customer") << u"CUST\tBalak, Mike\t61\t"_s << Designed << false;
        QTest::newRow("customer:job") << u"CUST\t\"Balak, Mike:Residential\"\t97\t"_s << Designed << true;
        QTest::newRow("colon in another field")
            << u"CUST\tAcme\t1\t\t\tAttn: Billing\t"_s << Designed << false;
        QTest::newRow("NAME where the header puts it")
            << u"CUST\tAcme\tAcme:Roof\t"_s << ExportColumns{.fullNameField = 3} << true;
        QTest::newRow("text after the last TAB") << u"CUST\tAcme:Roof"_s << Designed << false;
        QTest::newRow("row without TABs") << u"CUST Acme:Roof"_s << Designed << false;
        QTest::newRow("no such column") << u"CUST:\tA:B\t"_s << ExportColumns{.fullNameField = 0} << false;
    }

    void jobRow()
    {
        QFETCH(QString, row);
        QFETCH(ExportColumns, columns);
        QFETCH(bool, job);
        QCOMPARE(isJobRow(row, columns), job);
    }

    void enterpriseExport()
    {
        BREVIK_REQUIRE_SAMPLES(folder);
        QFile file(folder + u"/Pewejekubam__qbd-to-gnucash__sample-qbd-customers.iif"_s);
        QVERIFY(file.open(QIODevice::ReadOnly));
        RowReader reader(file);
        QList<QString> rows;
        ExportColumns columns;
        for (QByteArrayView row; reader.next(row);) {
            if (row.startsWith("CUST\t"))
                rows.append(fromCp1252(row.data(), row.size()));
            else if (isCustomerHeaderRow(row))
                columns = headerColumns(row);
        }
        QCOMPARE(rows.size(), 65);

        QCOMPARE(scanned(rows.first(), {u"0"_s, columns}),
                 customer({{FieldName, u"Adam's Candy Shop"_s},
                           {FieldAddress1, u"Adam Bradley"_s},
                           {FieldAddress2, u"1528 Kitty Bang Bang St."_s},
                           {FieldCity, u"Fudge"_s},
                           {FieldState, u"CA"_s},
                           {FieldZip, u"94555"_s},
                           {FieldPhone, u"707 555 5734"_s},
                           {FieldContactName, u"Adam Bradley"_s},
                           {FieldTax, u"1"_s}}));

        // A job of Mike Balak's, shipped to a company whose name holds a comma: the billing
        // lines hold no city line, and the ship-to company gives none.
        const QString job = rows.at(3);
        QVERIFY(job.startsWith(u"CUST\t\"Balak, Mike:330 Main St\""_s));
        QVERIFY(isJobRow(job, columns));
        QVERIFY(!isJobRow(rows.at(2), columns));
        QCOMPARE(scanned(job, {u"0"_s, columns}), customer({{FieldName, u"Mike Balak"_s},
                                                            {FieldAddress1, u"1800 Appleseed Ct"_s},
                                                            {FieldAddress2, u"Bayshore CA 94326"_s},
                                                            {FieldPhone, u"415-555-6453"_s},
                                                            {FieldContactName, u"Mike Balak"_s},
                                                            {FieldTax, u"0"_s}}));

        // At the designed positions this export names no customer taxable.
        for (const QString& row : std::as_const(rows))
            QCOMPARE_NE(scanned(row, {u"0"_s, Designed})[FieldTax], u"1"_s);
    }
};

QTEST_GUILESS_MAIN(tst_RowScan)
#include "tst_rowscan.moc"
