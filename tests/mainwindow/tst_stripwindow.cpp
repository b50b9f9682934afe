#include "stripsupport.h"
#include "writer/testdatabase.h"

#include "app/stripprogress.h"
#include "import/export/quickbooksfolderlock.h"
#include "import/writer/clientwriter.h"
#include "import/writer/striprun.h"
#include "platform/textlist.h"

#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <limits>

using namespace brevik;
using namespace brevik::testing;
using namespace Qt::StringLiterals;

namespace {

// What the import core tells any observer of a run, for comparison with what the window shows.
class RunRecord final : public StripObserver
{
public:
    void progressed(qint64 total) override { value = total; }
    void nameTaken(const QString& name) override { names.append(name); }

    QStringList names;
    qint64 value = 0;
};

} // namespace

// STRIP on the main window: what the controls show after the run, and after a run that cannot
// start or must stop.
class tst_StripWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void endStateShowsTheWholeRun()
    {
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, QStringLiteral(BREVIK_SOURCE_DIR "/tests/data/sample_customers.iif"));
        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);

        // The same run of the core on the same file, into a database of its own.
        QTemporaryDir otherData;
        createDatabase(otherData.path());
        CapturingReporter otherMessages;
        WindowValues values{otherData.path(), f.quickBooksDir.path(), {}, {}, QStringLiteral("0"), {}};
        ClientWriter writer(otherMessages);
        RunRecord record;
        QVERIFY(StripRun(values, writer, otherMessages)
                    .run(f.quickBooksFile(), w.exportLayout(), record)
                    .completed);

        QVERIFY(w.cmdStrip->isHidden());
        QVERIFY(w.cmdStart->isHidden());
        QVERIFY(!w.cmdExit->isHidden());
        QVERIFY(!w.Command1->isHidden());
        QVERIFY(!w.Label2->isHidden());
        QVERIFY(!w.Label3->isHidden());
        QVERIFY(!w.pb1->isHidden());
        QCOMPARE(w.heightTwips(), 7320);
        QVERIFY(record.names.size() > 20);
        QCOMPARE(listedNames(w), record.names);
        QCOMPARE(w.pb1->minimum(), 0);
        QCOMPARE(w.pb1->maximum(), QFileInfo(f.quickBooksFile()).size());
        QCOMPARE(w.pb1->value(), record.value);
        // The run's own messages, then the one box of its outcome.
        QStringList shown = f.messages.messages();
        QVERIFY(!shown.isEmpty() && shown.takeLast().startsWith(u"The import is complete."));
        QCOMPARE(shown, otherMessages.messages());
        for (std::size_t i = 0; i < CustomerFieldCount; ++i)
            QCOMPARE(w.Text1[i]->text(), values.Text1[i]);
        QVERIFY(w.Text1[FieldCreditLimit]->text().isEmpty());
        QVERIFY(w.Text1[FieldAddress3]->text().isEmpty());
        QCOMPARE(w.gM, f.dataDir.path());

        TestDatabase stored(f.dataDir.path(), TestDatabase::Open::Existing);
        TestDatabase expected(otherData.path(), TestDatabase::Open::Existing);
        QCOMPARE(stored.count(QStringLiteral("CLIENT")), expected.count(QStringLiteral("CLIENT")));
        QCOMPARE(stored.rows(QStringLiteral("CONTACTS")), expected.rows(QStringLiteral("CONTACTS")));
    }

    // START lists each row read by its own bytes, and STRIP reads it so and gives it the
    // columns of the header before it, though QBCUST.TXT keeps neither a mark nor a header.
    void exportFromStartToStrip_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("listed"); // after START
        QTest::addColumn<QStringList>("stored"); // name and first address line of each client
        const QByteArray cafe =
            "CUST\tCaf\xc3\xa9 Zo\xc3\xab\t\t\tCaf\xc3\xa9 Zo\xc3\xab\t\xe2\x82\xac 1 Rue\t";
        const QByteArray muller = "CUST\tM\xfcller\t\t\tM\xfcller\t1 Stra\xdf"
                                  "e\t";
        QTest::newRow("UTF-8") << cafe + "\r\n"
                               << QStringList{QString::fromUtf8(cafe)}
                               << QStringList{u"Caf\u00e9 Zo\u00eb/\u20ac 1 Rue"_s};
        QTest::newRow("UTF-8 and Windows-1252 rows")
            << cafe + "\r\n" + muller + "\r\n"
            << QStringList{QString::fromUtf8(cafe), u"CUST\tM\u00fcller\t\t\tM\u00fcller\t1 Stra\u00dfe\t"_s}
            << QStringList{u"Caf\u00e9 Zo\u00eb/\u20ac 1 Rue"_s, u"M\u00fcller/1 Stra\u00dfe"_s};
        const QByteArray acme = "CUST\tAcme\t1\t0\tAcme Supply\t1 Oak St\t";
        const QByteArray twoCo = "CUST\tTwo Co\tTwo Co\t2 Oak St\t";
        QTest::newRow("two exports end to end")
            << "!CUST\tNAME\tREFNUM\tTIMESTAMP\tBADDR1\tBADDR2\r\n" + acme +
                   "\r\n!CUST\tNAME\tBADDR1\tBADDR2\r\n" + twoCo + "\r\n"
            << QStringList{QString::fromLatin1(acme), QString::fromLatin1(twoCo)}
            << QStringList{u"Acme Supply/1 Oak St"_s, u"Two Co/2 Oak St"_s};
    }

    void exportFromStartToStrip()
    {
        QFETCH(QByteArray, input);
        QFETCH(QStringList, listed);
        QFETCH(QStringList, stored);
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        QTemporaryDir exports;
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, writeExport(exports, input));
        QCOMPARE(listedNames(w), listed);

        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);
        QStringList names;
        for (const QString& client : stored)
            names << client.section(u'/', 0, 0);
        QCOMPARE(listedNames(w), names);
        TestDatabase database(f.dataDir.path(), TestDatabase::Open::Existing);
        QStringList clients;
        for (const QVariantList& row : database.rows(QStringLiteral("CLIENT")))
            clients << row.value(2).toString() + u'/' + row.value(3).toString();
        QCOMPARE(clients, stored);
    }

    void runThatCannotGoOnLeavesStripOnView_data()
    {
        QTest::addColumn<bool>("customerFile");
        QTest::addColumn<bool>("database");
        QTest::addColumn<QString>("named");
        QTest::addColumn<int>("namesListed");
        QTest::newRow("customer file missing") << false << true << QStringLiteral("QBCUST.TXT") << 0;
        // The first customer's name is taken before its write finds no database; no later row is tried.
        QTest::newRow("database missing") << true << false << QStringLiteral("zrdata.mdb") << 1;
    }
    void runThatCannotGoOnLeavesStripOnView()
    {
        QFETCH(bool, customerFile);
        QFETCH(bool, database);
        QFETCH(QString, named);
        QFETCH(int, namesListed);
        MainWindowFixture f;
        if (database)
            createDatabase(f.dataDir.path());
        QTemporaryDir exports;
        const QString exportFile = writeExport(exports, customerRows(5));
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, exportFile);
        if (!customerFile)
            QVERIFY(QFile::remove(f.quickBooksFile()));

        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);

        QCOMPARE(f.messages.messages().size(), 1);
        const QString path =
            named == u"QBCUST.TXT" ? f.quickBooksFile() : f.dataDir.filePath(QStringLiteral("zrdata.mdb"));
        QVERIFY2(f.messages.messages().first().contains(displayPath(path)),
                 qPrintable(f.messages.messages().first()));
        QVERIFY(!w.cmdStrip->isHidden());
        QVERIFY(w.cmdExit->isHidden());
        QCOMPARE(w.lstCust->count(), namesListed);
        QCOMPARE(QFile::exists(f.dataDir.filePath(QStringLiteral("zrdata.mdb"))), database);
        if (database)
            QCOMPARE(
                TestDatabase(f.dataDir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                0);
    }

    // While another run (the tool, say) holds the QuickBooks folder, neither START nor STRIP
    // touches QBCUST.TXT: each says so, naming the folder, and START takes STRIP off the window.
    void anotherRunHoldsTheQuickBooksFolder()
    {
        MainWindowFixture f;
        createDatabase(f.dataDir.path());
        QTemporaryDir exports;
        ui::frmBrevik& w = f.showMainWindow();
        selectAndStart(f, w, writeExport(exports, customerRows(5)));
        const QByteArray extracted = readBytes(f.quickBooksFile());
        QuickBooksFolderLock other(f.quickBooksDir.path());
        QVERIFY(other.take(f.messages));

        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);
        QTemporaryDir otherExports;
        f.dialogAnswer = writeExport(otherExports, customerRows(7));
        w.Command1_Click();
        w.cmdStart_Click();
        QCOMPARE(f.messages.messages().size(), 2);
        for (const QString& message : f.messages.messages())
            QVERIFY2(message.contains(displayPath(f.quickBooksDir.path())), qPrintable(message));
        QVERIFY(w.cmdStrip->isHidden());
        QCOMPARE(readBytes(f.quickBooksFile()), extracted);
        QCOMPARE(TestDatabase(f.dataDir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                 0);

        other.release();
        w.cmdStart_Click();
        QTest::mouseClick(w.cmdStrip, Qt::LeftButton);
        QCOMPARE(f.messages.messages().size(), 3); // and the outcome of the run
        QCOMPARE(TestDatabase(f.dataDir.path(), TestDatabase::Open::Existing).count(QStringLiteral("CLIENT")),
                 7);
    }

    // The bar holds an int: a file over 2 GB has both ends scaled alike, and an empty file
    // still gives a bar rather than a busy indicator.
    void progressBarTakesAnyFileSize_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<qint64>("total");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        constexpr qint64 IntMax = std::numeric_limits<int>::max();
        QTest::newRow("empty file") << qint64(0) << qint64(0) << 1 << 0;
        QTest::newRow("largest int") << IntMax << IntMax - 2 << int(IntMax) << int(IntMax - 2);
        QTest::newRow("one past it") << IntMax + 1 << IntMax << int((IntMax + 1) / 2) << int(IntMax / 2);
        QTest::newRow("8 GB, at its end")
            << qint64(8'000'000'000) << qint64(8'000'000'000) << 2'000'000'000 << 2'000'000'000;
        QTest::newRow("8 GB, halfway")
            << qint64(8'000'000'000) << qint64(4'000'000'000) << 2'000'000'000 << 1'000'000'000;
    }
    void progressBarTakesAnyFileSize()
    {
        QFETCH(qint64, size);
        QFETCH(qint64, total);
        QFETCH(int, maximum);
        QFETCH(int, value);
        MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        const WindowValues values;
        ui::StripProgress progress(w, values);
        progress.started(size);
        progress.progressed(total);
        progress.showCurrent();
        QCOMPARE(w.pb1->minimum(), 0);
        QCOMPARE(w.pb1->maximum(), maximum);
        QCOMPARE(w.pb1->value(), value);
        QVERIFY(!w.pb1->isHidden());
    }
};

QTEST_MAIN(tst_StripWindow)
#include "tst_stripwindow.moc"
