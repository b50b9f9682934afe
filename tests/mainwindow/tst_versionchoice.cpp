#include "mainwindowfixture.h"
#include "support/testsupport.h"

#include <QRadioButton>

using namespace brevik;
using brevik::testing::readBytes;
using brevik::testing::writeBytes;

// The QuickBooks version choice: what becoming active reads from QBvers.Dat and selects, and
// what the operator's choice writes there.
class tst_VersionChoice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readWhenActive_data()
    {
        QTest::addColumn<std::optional<QByteArray>>("content"); // nothing: no file
        QTest::addColumn<bool>("v2001");
        QTest::addColumn<QString>("gOpt");
        using B = std::optional<QByteArray>;
        QTest::newRow("missing") << B() << false << QStringLiteral("0");
        QTest::newRow("empty file") << B("") << false << QStringLiteral("0");
        QTest::newRow("1 crlf") << B("1\r\n") << true << QStringLiteral("1");
        QTest::newRow("0 crlf") << B("0\r\n") << false << QStringLiteral("0");
        QTest::newRow("0 without line end") << B("0") << false << QStringLiteral("0");
        QTest::newRow("blank and quotes") << B(" \"1\"\r\n") << true << QStringLiteral("1");
        QTest::newRow("first item before a comma") << B("1,0\r\n") << true << QStringLiteral("1");
        QTest::newRow("first line only") << B("0\r\n1\r\n") << false << QStringLiteral("0");
        QTest::newRow("lf line end") << B("1\n") << true << QStringLiteral("1");
        // Any other first item is kept as the version value, with V5.0-V2000 selected.
        QTest::newRow("2") << B("2\r\n") << false << QStringLiteral("2");
        QTest::newRow("empty line") << B("\r\n") << false << QString();
        QTest::newRow("comma first") << B(",1\r\n") << false << QString();
        QTest::newRow("1 with trailing text") << B("1 \r\n") << false << QStringLiteral("1 ");
    }

    void readWhenActive()
    {
        QFETCH(std::optional<QByteArray>, content);
        QFETCH(bool, v2001);
        QFETCH(QString, gOpt);
        testing::MainWindowFixture f;
        if (content)
            QVERIFY(writeBytes(f.versionFile(), *content));
        ui::frmBrevik& w = f.showMainWindow();
        QCOMPARE(w.opt2002->isChecked(), v2001);
        QCOMPARE(w.opt2000->isChecked(), !v2001);
        QCOMPARE(w.gOpt, gOpt);
        // Becoming active selects an option without storing it: the file is as it was.
        QCOMPARE(QFile::exists(f.versionFile()), content.has_value());
        if (content)
            QCOMPARE(readBytes(f.versionFile()), *content);
        QVERIFY(f.messages.messages().isEmpty());
    }

    void choiceWritesThreeBytes()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        QTest::mouseClick(w.opt2002, Qt::LeftButton, {}, QPoint(4, w.opt2002->height() / 2));
        QVERIFY(w.opt2002->isChecked());
        QCOMPARE(readBytes(f.versionFile()), QByteArray("1\r\n"));
        QCOMPARE(w.gOpt, QStringLiteral("1"));

        QTest::mouseClick(w.opt2000, Qt::LeftButton, {}, QPoint(4, w.opt2000->height() / 2));
        QCOMPARE(readBytes(f.versionFile()), QByteArray("0\r\n"));
        QCOMPARE(w.gOpt, QStringLiteral("0"));

        // The choice survives the next activation.
        w.opt2002->click();
        w.Form_Activate();
        QVERIFY(w.opt2002->isChecked());
        QCOMPARE(w.gOpt, QStringLiteral("1"));
    }

    void versionAndOutputOptionsAreSeparate()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        auto* optOrv = w.controls().get<QRadioButton>(u"optOrv");
        QVERIFY(optOrv);
        w.opt2002->click();
        QVERIFY(optOrv->isChecked());
    }

    // Neither the program's folder nor the user's configuration folder can take the file.
    void failedWriteIsToldOnce()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        setProgramFolder(f.programDir.filePath(QStringLiteral("missing")));
        const QString userFolder = f.userDir.filePath(QStringLiteral("Brevik"));
        QVERIFY(writeBytes(userFolder, "x"));
        w.opt2002->click();
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY(
            f.messages.messages().first().contains(QDir::toNativeSeparators(userFolder + u"/QBvers.Dat")));
        QCOMPARE(w.gOpt, QStringLiteral("1"));
        QVERIFY(w.opt2002->isChecked());
    }

    // An installed program keeps the choice in the user's configuration folder and reads it back.
    void choiceOfAnInstalledProgramIsKeptForTheUser()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        setProgramFolder(f.programDir.filePath(QStringLiteral("missing")));
        w.opt2002->click();
        QVERIFY(f.messages.messages().isEmpty());
        QCOMPARE(readBytes(f.userDir.filePath(QStringLiteral("Brevik/QBvers.Dat"))), QByteArray("1\r\n"));
        w.opt2000->setChecked(true);
        w.Form_Activate();
        QVERIFY(w.opt2002->isChecked());
        QCOMPARE(w.gOpt, QStringLiteral("1"));
    }
};

QTEST_MAIN(tst_VersionChoice)
#include "tst_versionchoice.moc"
