#include "mainwindowfixture.h"
#include "support/testexport.h"
#include "support/testsupport.h"

#include "platform/textlist.h"
#include "windows/frmabout.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

using namespace brevik;
using brevik::testing::listedNames;
using brevik::testing::readBytes;
using brevik::testing::writeExport;

// The main window through the import steps: which controls show, the window's height, and
// what START leaves in QBCUST.TXT and in the list.
class tst_MainWindowStates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designStateWhenFirstActive()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        QCOMPARE(w.heightTwips(), 3900);
        QCOMPARE(QApplication::focusWidget(), w.Command1);
        QVERIFY(w.opt2000->isChecked());
        QVERIFY(w.txtCustIIF->text().isEmpty());
        const QWidgetList hiddenControls = {w.cmdStart, w.cmdStrip, w.cmdExit,  w.lstCust, w.pb1,
                                            w.Label2,   w.Label3,   w.txtHold1, w.txtHold2};
        for (QWidget* hidden : hiddenControls)
            QVERIFY2(hidden->isHidden(), qPrintable(hidden->objectName()));
        // The customer fields lie below the lower edge even at the largest height the steps set.
        w.setHeightTwips(7320);
        for (QLineEdit* field : w.Text1)
            QVERIFY(field->mapTo(&w, QPoint(0, 0)).y() >= w.height());
    }

    void activationTakesTheHandedOverFolders()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        QCOMPARE(w.gM, f.dataDir.path());
        QCOMPARE(w.gQ, f.quickBooksDir.path());

        // New folders reach gQ the next time the window becomes active, and the dialog starts there.
        w.txtHold2->setText(f.dataDir.path());
        w.Form_Activate();
        w.Command1_Click();
        QVERIFY(f.lastRequest);
        QCOMPARE(f.lastRequest->folder, f.dataDir.path());
        QCOMPARE(f.lastRequest->title, QStringLiteral("Open QB Customer File"));
        QCOMPARE(f.lastRequest->fileName, QStringLiteral("*.iif"));
        QCOMPARE(f.lastRequest->filter, QStringLiteral("iif"));
    }

    void cancelledSelectionThenStart()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(w.txtCustIIF->text(), QStringLiteral("*.iif"));
        QCOMPARE(w.Command1->text(), QStringLiteral("Customer File to Import"));
        QCOMPARE(w.heightTwips(), 4260);
        const QWidgetList shownControls = {w.cmdStart, w.lstCust, w.pb1, w.Label2};
        for (QWidget* shown : shownControls)
            QVERIFY2(!shown->isHidden(), qPrintable(shown->objectName()));

        QTest::mouseClick(w.cmdStart, Qt::LeftButton);
        QCOMPARE(w.heightTwips(), 7320);
        QCOMPARE(f.beeps, 2);
        QVERIFY(!QFile::exists(f.quickBooksFile()));
        QVERIFY(!w.cmdStart->isHidden());
        QVERIFY(w.cmdStrip->isHidden());
        QVERIFY(f.messages.messages().isEmpty());
    }

    void selectStartAboutSequence()
    {
        testing::MainWindowFixture f;
        QTemporaryDir exports;
        // The last row is wider than the list.
        const QByteArray wide = "CUSTOMER\t" + QByteArray(150, 'B');
        const QByteArray input = "!CUST\tNAME\tREFNUM\r\nCUSTNAME\tx\r\nCUST\tCaf\xe9\tA\r\n" + wide + "\r\n";
        f.dialogAnswer = writeExport(exports, input);
        ui::frmBrevik& w = f.showMainWindow();

        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(w.txtCustIIF->text(), *f.dialogAnswer);
        QTest::mouseClick(w.cmdStart, Qt::LeftButton);

        QCOMPARE(w.heightTwips(), 7320);
        QCOMPARE(f.beeps, 2);
        QCOMPARE(readBytes(f.quickBooksFile()), "CUST\tCaf\xe9\tA\r\n" + wide + "\r\n");
        QCOMPARE(listedNames(w),
                 (QStringList{QStringLiteral("CUST\tCaf\u00e9\tA"), QString::fromLatin1(wide)}));
        // The list scrolls only up and down: no scroll bar below its rows takes their place.
        QCoreApplication::processEvents();
        QVERIFY(!w.lstCust->horizontalScrollBar()->isVisible());
        QCOMPARE(w.lstCust->viewport()->height(), w.lstCust->contentsRect().height());
        QVERIFY(!w.cmdStrip->isHidden());
        QVERIFY(w.cmdStart->isHidden());
        QCOMPARE(w.cmdStrip->pos(), QPoint(ui::pixels(3360), ui::pixels(5760)));

        // About is another window of the program: coming back from it resets the height, and
        // STRIP is then beyond the lower edge.
        w.mnuAbout->trigger();
        ui::frmAbout* about = ui::Forms::existingAbout();
        QVERIFY(about);
        QVERIFY(QTest::qWaitForWindowActive(about));
        QCOMPARE(w.heightTwips(), 7320);
        about->close();
        w.activateWindow(); // what the window manager does when the active window closes
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.heightTwips(), 3900);
        QVERIFY(w.cmdStrip->mapTo(&w, QPoint(0, 0)).y() >= w.height());
        QVERIFY(!w.cmdStrip->isHidden());
    }

    void messageBoxesAndOtherProgramsDoNotResetTheHeight()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        w.Command1_Click();
        QCOMPARE(w.heightTwips(), 4260);
        QWidget stranger; // a message box or the file dialog: not one of the program's windows
        stranger.show();
        stranger.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&stranger));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.heightTwips(), 4260);
    }

    void repeatedStartListsBothRuns()
    {
        testing::MainWindowFixture f;
        QTemporaryDir exports;
        const QString first = writeExport(exports, "CUST\tone\nCUST\ttwo\n", QStringLiteral("a.iif"));
        const QString second = writeExport(exports, "CUST\tthree\r", QStringLiteral("b.iif"));
        ui::frmBrevik& w = f.showMainWindow();

        f.dialogAnswer = first;
        w.Command1_Click();
        w.cmdStart_Click();
        f.dialogAnswer = second;
        w.Command1_Click();
        QVERIFY(!w.cmdStart->isHidden());
        w.cmdStart_Click();

        QCOMPARE(listedNames(w), (QStringList{QStringLiteral("CUST\tone"), QStringLiteral("CUST\ttwo"),
                                              QStringLiteral("CUST\tthree")}));
        QCOMPARE(readBytes(f.quickBooksFile()), QByteArray("CUST\tthree\r\n"));
        QCOMPARE(f.beeps, 4);
    }

    void failedStartLeavesTheEarlierFile()
    {
        testing::MainWindowFixture f;
        QTemporaryDir exports;
        const QString good =
            writeExport(exports, "!CUST\tNAME\tCONT1\tTAXABLE\r\nCUST\tkept\r\n", QStringLiteral("good.iif"));
        const QString missing = exports.filePath(QStringLiteral("gone.iif"));
        ui::frmBrevik& w = f.showMainWindow();

        f.dialogAnswer = good;
        w.Command1_Click();
        w.cmdStart_Click();
        QCOMPARE(w.exportLayout().columnsOf(1).contactField, 3);
        QCOMPARE(w.exportLayout().columnsOf(1).taxField, 4);

        f.dialogAnswer = missing;
        w.Command1_Click();
        w.cmdStart_Click();
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY(f.messages.messages().first().contains(QDir::toNativeSeparators(missing)));
        QCOMPARE(readBytes(f.quickBooksFile()), QByteArray("CUST\tkept\r\n"));
        QVERIFY(w.cmdStrip->isHidden());
        QVERIFY(!w.cmdStart->isHidden());
        QCOMPARE(w.heightTwips(), 7320);
        QCOMPARE(f.beeps, 4);
        QCOMPARE(w.exportLayout().columnsOf(1).contactField, 3);
    }

    void unwritableQuickBooksFolder()
    {
        testing::MainWindowFixture f;
        QTemporaryDir exports;
        f.dialogAnswer = writeExport(exports, "CUST\tx\r\n");
        ui::frmBrevik& w = f.showMainWindow();
        w.txtHold2->setText(f.quickBooksDir.filePath(QStringLiteral("no such folder")));
        w.Form_Activate();
        w.Command1_Click();
        w.cmdStart_Click();
        QCOMPARE(f.messages.messages().size(), 1);
        QVERIFY(f.messages.messages().first().contains(u"QBCUST.TXT"));
        QVERIFY(w.cmdStrip->isHidden());
        QCOMPARE(f.beeps, 2);
    }
};

QTEST_MAIN(tst_MainWindowStates)
#include "tst_mainwindowstates.moc"
