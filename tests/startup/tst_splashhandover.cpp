#include "startupfixture.h"

#include "brevik/version.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

using brevik::ui::Forms;
using brevik::ui::frmSplash;

// Records what the main window's hidden fields hold at the moments it is shown and activated.
class ActivationWatch : public QObject
{
public:
    QStringList seen; // "data|quickbooks" at each show or activation of the main window

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if ((event->type() == QEvent::Show || event->type() == QEvent::WindowActivate) &&
            object->objectName() == u"frmBrevik") {
            if (auto* main = Forms::existingBrevik(); main && main == object)
                seen.append(main->txtHold1->text() + u'|' + main->txtHold2->text());
        }
        return false;
    }
};

// The program starts on the splash window; when its time is up it hands over to the main window
// with the two folders of zrQBck.dat, or to the folder settings when the file does not give both.
class tst_SplashHandOver : public QObject
{
    Q_OBJECT

    brevik::testing::StartupFixture m_fixture;

    static frmSplash& openSplash()
    {
        frmSplash& splash = Forms::splash();
        Forms::showModeless(&splash);
        return splash;
    }

private Q_SLOTS:
    void init() { m_fixture.start(); }
    void cleanup() { m_fixture.finish(); }

    void showsTheDesign()
    {
        frmSplash::setTimerIntervalForTesting(0);
        frmSplash& splash = openSplash();
        QCOMPARE(splash.Timer1->interval(), 2000);
        QVERIFY(splash.Timer1->isActive());
        QVERIFY(splash.windowTitle().isEmpty());
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash.windowType(), Qt::Tool); // kept out of the task bar
        QCOMPARE(splash.size(), QSize(506, 283));

        QCOMPARE(splash.lblVersion->text(), QStringLiteral("Version 1.50.109"));
        QCOMPARE(splash.lblVersion->text(), brevik::versionText());
        QCOMPARE(splash.lblPlatform->text(), QStringLiteral("Windows Platform"));
        QCOMPARE(splash.lblProductName->text(), QStringLiteral("Orvella QuickBooks Import"));
        QCOMPARE(splash.lblProductName->pos(), QPoint(16, 24));
        QCOMPARE(splash.lblVersion->pos(), QPoint(16, 96));
        for (const auto& [label, points] :
             {std::pair{splash.lblProductName, 24.0}, std::pair{splash.lblPlatform, 15.75},
              std::pair{splash.lblVersion, 12.0}}) {
            QCOMPARE(label->font().pointSizeF(), points);
            QVERIFY(label->font().bold());
            QVERIFY(!label->autoFillBackground());
            QCOMPARE(label->size(), label->sizeHint()); // auto-size: as large as its text
        }
    }

    void handsOver_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no zrQBck.dat
        QTest::addColumn<bool>("toMainWindow");
        QTest::addColumn<QString>("dataFolder");
        QTest::addColumn<QString>("quickBooksFolder");
        QTest::newRow("two lines") << QByteArray("C:\\Orvella\\Data\r\nC:\\QB\r\n") << true
                                   << QStringLiteral("C:\\Orvella\\Data") << QStringLiteral("C:\\QB");
        QTest::newRow("second line without its end")
            << QByteArray("/srv/data\r\n/srv/qb") << true << QStringLiteral("/srv/data")
            << QStringLiteral("/srv/qb");
        QTest::newRow("more than two lines") << QByteArray("/srv/data\n/srv/qb\n/other\n") << true
                                             << QStringLiteral("/srv/data") << QStringLiteral("/srv/qb");
        QTest::newRow("values without a colon or slash, as they are")
            << QByteArray("\\\\server\\orvella\r\n qb folder, old \r\n") << true
            << QStringLiteral("\\\\server\\orvella") << QStringLiteral(" qb folder, old ");
        QTest::newRow("no file") << QByteArray("-") << false << QString() << QString();
        QTest::newRow("empty file") << QByteArray() << false << QString() << QString();
        QTest::newRow("empty first line") << QByteArray("\r\nC:\\QB\r\n") << false << QString() << QString();
        QTest::newRow("empty second line")
            << QByteArray("C:\\Data\r\n\r\n") << false << QString() << QString();
        QTest::newRow("one line") << QByteArray("C:\\Data\r\n") << false << QString() << QString();
    }

    void handsOver()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, toMainWindow);
        QFETCH(QString, dataFolder);
        QFETCH(QString, quickBooksFolder);
        if (file != "-")
            QVERIFY(m_fixture.writeSettings(file));

        ActivationWatch watch;
        qApp->installEventFilter(&watch);
        openSplash();
        QVERIFY(!Forms::existingBrevik());
        QTRY_VERIFY(!Forms::existingSplash());
        qApp->removeEventFilter(&watch);

        if (toMainWindow) {
            QVERIFY(Forms::existingBrevik());
            QVERIFY(Forms::existingBrevik()->isVisible());
            QCOMPARE(Forms::existingBrevik()->txtHold1->text(), dataFolder);
            QCOMPARE(Forms::existingBrevik()->txtHold2->text(), quickBooksFolder);
            QVERIFY(!Forms::existingPath());
            // Shown and active only once both fields hold their folders.
            QVERIFY(!watch.seen.isEmpty());
            for (const QString& seen : std::as_const(watch.seen))
                QCOMPARE(seen, dataFolder + u'|' + quickBooksFolder);
        } else {
            QVERIFY(Forms::existingPath());
            QVERIFY(Forms::existingPath()->isVisible());
            QVERIFY(!Forms::existingBrevik());
        }
        QVERIFY(!Forms::endRequested());
    }

    void characterKeyEndsTheProgram_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("letter") << int(Qt::Key_A);
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("enter") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
        QTest::newRow("esc") << int(Qt::Key_Escape);
    }

    void characterKeyEndsTheProgram()
    {
        QFETCH(int, key);
        QVERIFY(m_fixture.writeSettings("C:\\Data\r\nC:\\QB\r\n"));
        frmSplash::setTimerIntervalForTesting(200);
        QTest::keyClick(&openSplash(), Qt::Key(key));
        QTRY_VERIFY(Forms::endRequested());
        QVERIFY(!Forms::existingSplash());
        // The timer went with the window: well after its time, no other window has opened.
        QTest::qWait(400);
        QVERIFY(!Forms::existingBrevik());
        QVERIFY(!Forms::existingPath());
    }

    void keysWithoutACharacterLeaveItShowing()
    {
        frmSplash::setTimerIntervalForTesting(60'000);
        frmSplash& splash = openSplash();
        for (Qt::Key key : {Qt::Key_Shift, Qt::Key_F1, Qt::Key_Left})
            QTest::keyClick(&splash, key);
        QCoreApplication::processEvents();
        QVERIFY(Forms::existingSplash());
        QVERIFY(splash.isVisible());
        QVERIFY(!Forms::endRequested());
    }

    void newcomerChoosesFoldersAndReachesTheMainWindow()
    {
        const QString data = m_fixture.folder(QStringLiteral("Orvella/Data"));
        const QString qb = m_fixture.folder(QStringLiteral("QuickBooks"));
        openSplash();
        QTRY_VERIFY(Forms::existingPath() && Forms::existingPath()->isVisible());
        brevik::ui::frmPath& path = *Forms::existingPath();
        QCOMPARE(path.Text1->text(), QStringLiteral("No Folder Selected"));

        path.Text1->setText(data);
        path.Text2->setText(qb);
        path.cmdPath->click();

        QVERIFY(Forms::existingBrevik() && Forms::existingBrevik()->isVisible());
        QCOMPARE(Forms::existingBrevik()->txtHold1->text(), data);
        QCOMPARE(Forms::existingBrevik()->txtHold2->text(), qb);
        QTRY_VERIFY(!Forms::existingPath());
        QCOMPARE(m_fixture.settingsBytes(),
                 (data + QStringLiteral("\r\n") + qb + QStringLiteral("\r\n")).toLatin1());
        QVERIFY(!Forms::endRequested());
    }
};

QTEST_MAIN(tst_SplashHandOver)
#include "tst_splashhandover.moc"
