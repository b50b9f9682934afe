#include "import/export/exportlayout.h"
#include "import/export/extraction.h"
#include "import/export/rowreader.h"
#include "support/testexport.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QTest>

using brevik::ExportColumns;

// Which rows of an export are customer rows, and where its own header puts the contact and
// the tax mark.
class tst_CustomerRows : public QObject
{
    Q_OBJECT

private:
    // The header row of a sample export.
    static QByteArray headerOf(const QString& path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {};
        brevik::RowReader reader(file);
        QByteArrayView row;
        while (reader.next(row))
            if (brevik::isCustomerHeaderRow(row))
                return row.toByteArray();
        return {};
    }

private Q_SLOTS:
    void customerRow_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<bool>("customer");
        QTest::newRow("CUST row") << QByteArray("CUST\tAdam's Candy Shop\t110") << true;
        QTest::newRow("CUST alone") << QByteArray("CUST") << true;
        QTest::newRow("CUSTN: shorter than eight, compared whole") << QByteArray("CUSTN") << true;
        QTest::newRow("CUSTNAM") << QByteArray("CUSTNAM\tx") << true;
        QTest::newRow("CUSTOMER") << QByteArray("CUSTOMER\tx") << true;
        QTest::newRow("CUSTX without tab") << QByteArray("CUSTX") << true;
        QTest::newRow("CUSTNAME") << QByteArray("CUSTNAME\tx") << false;
        QTest::newRow("CUSTNAMEDICT") << QByteArray("CUSTNAMEDICT\t1\tDUE") << false;
        QTest::newRow("CUSTITEMDICT") << QByteArray("CUSTITEMDICT\t0\tx") << false;
        QTest::newRow("CUSTITEMDICT alone") << QByteArray("CUSTITEMDICT") << false;
        QTest::newRow("CUSTOMPI") << QByteArray("CUSTOMPI\tx") << false;
        QTest::newRow("CUSTOMPIX is another word") << QByteArray("CUSTOMPIX\tx") << true;
        QTest::newRow("CUSTITEMDICTS is another word") << QByteArray("CUSTITEMDICTS") << true;
        QTest::newRow("header !CUST") << QByteArray("!CUST\tNAME") << false;
        QTest::newRow("lower case") << QByteArray("cust\tx") << false;
        QTest::newRow("mixed case") << QByteArray("Cust\tx") << false;
        QTest::newRow("blank before") << QByteArray(" CUST\tx") << false;
        QTest::newRow("tab before") << QByteArray("\tCUST") << false;
        QTest::newRow("quoted") << QByteArray("\"CUST\"\tx") << false;
        QTest::newRow("CUS") << QByteArray("CUS") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("other record") << QByteArray("VEND\tx") << false;
    }

    void customerRow()
    {
        QFETCH(QByteArray, row);
        QFETCH(bool, customer);
        QCOMPARE(brevik::isCustomerRow(row), customer);
    }

    void headerRow_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<bool>("header");
        QTest::newRow("!CUST with fields") << QByteArray("!CUST\tNAME") << true;
        QTest::newRow("!CUST alone") << QByteArray("!CUST") << true;
        QTest::newRow("!CUSTNAMEDICT") << QByteArray("!CUSTNAMEDICT\tINDEX") << false;
        QTest::newRow("!CUSTOMPI") << QByteArray("!CUSTOMPI\tx") << false;
        QTest::newRow("lower case") << QByteArray("!cust\tNAME") << false;
        QTest::newRow("CUST") << QByteArray("CUST\tNAME") << false;
    }

    void headerRow()
    {
        QFETCH(QByteArray, row);
        QFETCH(bool, header);
        QCOMPARE(brevik::isCustomerHeaderRow(row), header);
    }

    void headerColumns_data()
    {
        QTest::addColumn<QByteArray>("row");
        QTest::addColumn<int>("contact");
        QTest::addColumn<int>("tax");
        QTest::newRow("named early") << QByteArray("!CUST\tNAME\tCONT1\tTAXABLE") << 3 << 4;
        QTest::newRow("quoted names") << QByteArray("!CUST\t\"CONT1\"\tX\t\"TAXABLE\"") << 2 << 4;
        QTest::newRow("neither: designed") << QByteArray("!CUST\tNAME") << 19 << 23;
        QTest::newRow("only TAXABLE") << QByteArray("!CUST\tTAXABLE") << 19 << 2;
        QTest::newRow("case matters") << QByteArray("!CUST\tcont1\ttaxable") << 19 << 23;
        QTest::newRow("CONT2 is not CONT1") << QByteArray("!CUST\tCONT2\tCONT1") << 3 << 23;
        QTest::newRow("first of two") << QByteArray("!CUST\tCONT1\tCONT1") << 2 << 23;
        QTest::newRow("last field, trailing tab") << QByteArray("!CUST\tA\tTAXABLE\t") << 19 << 3;
        QTest::newRow("empty fields count") << QByteArray("!CUST\t\t\tCONT1") << 4 << 23;
    }

    void headerColumns()
    {
        QFETCH(QByteArray, row);
        QFETCH(int, contact);
        QFETCH(int, tax);
        const ExportColumns columns = brevik::headerColumns(row);
        QCOMPARE(columns.contactField, contact);
        QCOMPARE(columns.taxField, tax);
    }

    void headerColumnsOf1998Example()
    {
        QCOMPARE(brevik::headerColumns(brevik::testing::Example1998Header),
                 brevik::testing::Example1998Columns);
        // A column the header does not name keeps its place.
        QCOMPARE(brevik::headerColumns("!CUST\tBADDR1\tPHONE1"),
                 (ExportColumns{.nameField = 2, .phoneField = 3}));
    }

    // The three layouts QuickBooks has written: A (oldest), B (e-mail), C (e-mail and note).
    // They keep the name, the addresses and the telephone where they always stood.
    void headerColumnsOfRealExports_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("contact");
        QTest::addColumn<int>("tax");
        QTest::newRow("layout A, Mac 6.0") << QStringLiteral("gitpan__Finance-IIF__sample.iif") << 18 << 22;
        QTest::newRow("layout B, Mac 2019")
            << QStringLiteral("VonHoltenCodes__SlowBooks-Pro-2026__sample_qbmac_opening_balances.iif") << 19
            << 23;
        QTest::newRow("layout C, Enterprise")
            << QStringLiteral("Pewejekubam__qbd-to-gnucash__sample-qbd-customers.iif") << 20 << 24;
        QTest::newRow("layout C, 2006 kit")
            << QStringLiteral(
                   "overhacked__square-bridge__Import_First_-_List_Declarations_Not_Version_Specific.iif")
            << 20 << 24;
    }

    void headerColumnsOfRealExports()
    {
        BREVIK_REQUIRE_SAMPLES(samples);
        QFETCH(QString, file);
        QFETCH(int, contact);
        QFETCH(int, tax);
        const QByteArray header = headerOf(samples + u'/' + file);
        QVERIFY(!header.isEmpty());
        QCOMPARE(brevik::headerColumns(header), (ExportColumns{.contactField = contact, .taxField = tax}));
    }
};

QTEST_GUILESS_MAIN(tst_CustomerRows)
#include "tst_customerrows.moc"
