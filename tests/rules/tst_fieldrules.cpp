#include "import/rules/fieldrules.h"

#include <QTest>

using namespace Qt::StringLiterals;
using brevik::PhoneVariant;

// The reshaping of name, state, telephone and tax mark before a customer is stored.
class tst_FieldRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void telephone_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("insertR");
        QTest::addColumn<QString>("insertClientPhone");
        QTest::addColumn<QString>("updateR");

        QTest::newRow("14 characters lose their brackets")
            << u"(305) 555-0147"_s << u"305-555-0147"_s << u"305-555-0147"_s << u"305-555-0147"_s;
        QTest::newRow("13 characters keep their brackets")
            << u"(305)555-0147"_s << u"(305)555-0147"_s << u"(305)555-0147"_s << u"(305)555-0147"_s;
        QTest::newRow("short: only the blanks go")
            << u"305 555 0147"_s << u"3055550147"_s << u"3055550147"_s << u"3055550147"_s;
        QTest::newRow("hyphens stay")
            << u"305-555-0147"_s << u"305-555-0147"_s << u"305-555-0147"_s << u"305-555-0147"_s;
        QTest::newRow("extension") << u"(305) 555-0147 ext 12"_s << u"305-555-0147ext12"_s
                                   << u"305-555-0147e"_s << u"305-555-0147"_s;
        QTest::newRow("update cut comes before the blanks go")
            << u"1 (305) 555-0147"_s << u"1305-555-0147"_s << u"1305-555-0147"_s << u"1305-555-01"_s;
        QTest::newRow("only the first brackets are treated")
            << u"(305) 555-0147 (cell)"_s << u"305-555-0147(cell)"_s << u"305-555-0147("_s
            << u"305-555-0147"_s;
        QTest::newRow("closing bracket at position 1 stays")
            << u")305 555-0147 x9"_s << u")305555-0147x9"_s << u")305555-0147x"_s << u")305555-0147"_s;
        QTest::newRow("empty") << QString() << QString() << QString() << QString();
        // The ")" is looked for after the "(" has gone, so here it stands at position 1.
        QTest::newRow("bracket pair at the front")
            << u"()305 555-0147"_s << u")305555-0147"_s << u")305555-0147"_s << u")305555-0147"_s;
        QTest::newRow("closing bracket before the opening one")
            << u"5)55 (305) 0147"_s << u"5-55305)0147"_s << u"5-55305)0147"_s << u"5-55305)014"_s;
        QTest::newRow("closing bracket at position 2")
            << u"1) 305 555 0147 9"_s << u"1-30555501479"_s << u"1-30555501479"_s << u"1-30555501"_s;
        QTest::newRow("long run of blanks") << QString(20, u' ') << QString() << QString() << QString();
    }

    void telephone()
    {
        QFETCH(QString, before);
        QFETCH(QString, insertR);
        QFETCH(QString, insertClientPhone);
        QFETCH(QString, updateR);

        const QString inserted = brevik::normalisePhone(before, PhoneVariant::Insert);
        QCOMPARE(inserted, insertR);
        QCOMPARE(brevik::clientPhone(inserted), insertClientPhone);

        const QString updated = brevik::normalisePhone(before, PhoneVariant::Update);
        QCOMPARE(updated, updateR);
        QCOMPARE(brevik::clientPhone(updated), updateR);
    }

    void nameCut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("cut");

        const QString forty = u"Springfield Hardware & Lumber Company Lt"_s;
        QCOMPARE(forty.size(), 40);
        QTest::newRow("40 stay") << forty << forty;
        QTest::newRow("41 lose the last") << forty + u'd' << forty;
        QTest::newRow("much longer") << forty + QString(500, u'x') << forty;
        QTest::newRow("39 stay") << forty.left(39) << forty.left(39);
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("accented letters count once") << QString(41, QChar(0xE9)) << QString(40, QChar(0xE9));
    }

    void nameCut()
    {
        QFETCH(QString, name);
        QFETCH(QString, cut);
        // It says whether it cut, for the notes of a plan or a report.
        const bool cuts = name.size() > cut.size();
        QCOMPARE(brevik::applyNameCut(name), cuts);
        QCOMPARE(name, cut);
    }

    void stateCut_data()
    {
        QTest::addColumn<QString>("state");
        QTest::addColumn<QString>("cut");

        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("1 character") << u"A"_s << u"A"_s;
        QTest::newRow("2 characters") << u"AK"_s << u"AK"_s;
        QTest::newRow("3 characters") << u"IL "_s << u"IL"_s;
        QTest::newRow("written out") << u"Alaska"_s << u"Al"_s;
    }

    void stateCut()
    {
        QFETCH(QString, state);
        QFETCH(QString, cut);
        const bool cuts = state.size() > cut.size();
        QCOMPARE(brevik::applyStateCut(state), cuts);
        QCOMPARE(state, cut);
    }

    void taxFlag_data()
    {
        QTest::addColumn<QString>("mark");
        QTest::addColumn<bool>("taxable");

        QTest::newRow("1") << u"1"_s << true;
        QTest::newRow("0") << u"0"_s << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("Y") << u"Y"_s << false;
        QTest::newRow("blank before 1") << u" 1"_s << false;
        QTest::newRow("blank after 1") << u"1 "_s << false;
        QTest::newRow("TRUE") << u"TRUE"_s << false;
        QTest::newRow("-1") << u"-1"_s << false;
    }

    void taxFlag()
    {
        QFETCH(QString, mark);
        QFETCH(bool, taxable);
        QCOMPARE(brevik::taxFlag(mark), taxable);
    }
};

QTEST_GUILESS_MAIN(tst_FieldRules)
#include "tst_fieldrules.moc"
