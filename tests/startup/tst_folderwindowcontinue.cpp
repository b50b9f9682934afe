#include "startupfixture.h"

#include "import/export/cp1252.h"
#include "platform/folderlist.h"

#include <QPushButton>

using brevik::FolderSettings;
using brevik::ui::Forms;
using brevik::ui::frmPath;

// Continue saves two valid fields in zrQBck.dat, hands the remembered folders to the main
// window and closes; the close button saves and hands over nothing.
class tst_FolderWindowContinue : public QObject
{
    Q_OBJECT

    brevik::testing::StartupFixture m_fixture;

    static QByteArray twoLines(const QString& data, const QString& qb)
    {
        return brevik::toCp1252(data + QStringLiteral("\r\n") + qb + QStringLiteral("\r\n"));
    }

    static void checkHandedOver(const QString& data, const QString& qb)
    {
        auto* main = Forms::existingBrevik();
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QCOMPARE(main->txtHold1->text(), data);
        QCOMPARE(main->txtHold2->text(), qb);
        QVERIFY(!Forms::existingPath() || !Forms::existingPath()->isVisible());
        QVERIFY(!Forms::endRequested());
    }

private Q_SLOTS:
    void init() { m_fixture.start(); }
    void cleanup() { m_fixture.finish(); }

    void continueSavesOnlyTwoValidFields_data()
    {
        // Names beginning with "@" stand for a folder of that name in the test's folder.
        QTest::addColumn<QString>("storedFile"); // "-": none; else the two lines, with "|" between
        QTest::addColumn<QString>("typedData");  // empty: leave the field as it is
        QTest::addColumn<QString>("typedQb");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QString>("handedData");
        QTest::addColumn<QString>("handedQb");
        const QString old = QStringLiteral("@old/data|@old/qb");
        QTest::newRow("both valid") << old << QStringLiteral("/new/data") << QStringLiteral("/new/qb") << true
                                    << QStringLiteral("/new/data") << QStringLiteral("/new/qb");
        QTest::newRow("typed, comma and spaces kept")
            << QStringLiteral("-") << QStringLiteral("/a, b/ c") << QStringLiteral("/q b/x,y") << true
            << QStringLiteral("/a, b/ c") << QStringLiteral("/q b/x,y");
        QTest::newRow("only the data folder valid")
            << old << QStringLiteral("/new/data") << QStringLiteral("No Folder Selected") << false
            << QStringLiteral("@old/data") << QStringLiteral("@old/qb");
        QTest::newRow("only the QuickBooks folder valid")
            << old << QStringLiteral("relative/data") << QStringLiteral("/new/qb") << false
            << QStringLiteral("@old/data") << QStringLiteral("@old/qb");
        QTest::newRow("nothing chosen, no file")
            << QStringLiteral("-") << QString() << QString() << false << QString() << QString();
        QTest::newRow("network path stored, fields invalid")
            << QStringLiteral("\\\\server\\orvella|@old/qb") << QString() << QStringLiteral("x") << false
            << QStringLiteral("\\\\server\\orvella") << QStringLiteral("@old/qb");
    }

    void continueSavesOnlyTwoValidFields()
    {
        QFETCH(QString, storedFile);
        QFETCH(QString, typedData);
        QFETCH(QString, typedQb);
        QFETCH(bool, saved);
        QFETCH(QString, handedData);
        QFETCH(QString, handedQb);
        auto place = [this](const QString& name) {
            return name.startsWith(u'@') ? m_fixture.folder(name.mid(1)) : name;
        };
        handedData = place(handedData);
        handedQb = place(handedQb);
        if (storedFile != u"-") {
            const QStringList lines = storedFile.split(u'|');
            QVERIFY(m_fixture.writeSettings(twoLines(place(lines.at(0)), place(lines.at(1)))));
        }
        const QByteArray before = m_fixture.settingsBytes();

        frmPath& window = m_fixture.openPath();
        for (const auto& [field, typed] :
             {std::pair{window.Text1, typedData}, std::pair{window.Text2, typedQb}}) {
            if (typed.isEmpty())
                continue;
            field->clear();
            QTest::keyClicks(field, typed);
        }
        QTest::mouseClick(window.cmdPath, Qt::LeftButton);

        QCOMPARE(m_fixture.settingsBytes(), saved ? twoLines(typedData, typedQb) : before);
        QCOMPARE(m_fixture.settingsExist(), saved || storedFile != u"-");
        QCOMPARE(frmPath::remembered().dataFolder, handedData);
        QCOMPARE(frmPath::remembered().quickBooksFolder, handedQb);
        checkHandedOver(handedData, handedQb);
        QVERIFY(m_fixture.messages.messages().isEmpty());
    }

    void chosenFoldersAreSavedAsShown()
    {
        const QString data = m_fixture.folder(QStringLiteral("Orvella/Data"));
        const QString qb = m_fixture.folder(QStringLiteral("QB"));
        frmPath& window = m_fixture.openPath();
        QVERIFY(window.dirBox->setPath(data));
        QVERIFY(window.Dir1->setPath(qb));
        window.cmdPath->click();
        QCOMPARE(m_fixture.settingsBytes(), twoLines(data, qb));
        checkHandedOver(data, qb);
    }

    void rememberedFoldersOutliveTheWindow()
    {
        const QString data = m_fixture.folder(QStringLiteral("data"));
        const QString qb = m_fixture.folder(QStringLiteral("qb"));
        // First opening: both folders chosen and saved.
        frmPath& first = m_fixture.openPath();
        first.Text1->setText(data);
        first.Text2->setText(qb);
        first.cmdPath->click();
        QTRY_VERIFY(!Forms::existingPath());

        // Second opening, from the main window's Path Names, after the file lost its second line:
        // the data folder is forgotten, the QuickBooks folder is the one kept from the first.
        QVERIFY(m_fixture.writeSettings(brevik::toCp1252(data + QStringLiteral("\r\n"))));
        frmPath& second = m_fixture.openPath();
        QCOMPARE(second.Text1->text(), QStringLiteral("No Folder Selected"));
        QCOMPARE(frmPath::remembered().quickBooksFolder, qb);
        second.cmdPath->click();
        checkHandedOver(QString(), qb);
        QCOMPARE(m_fixture.settingsBytes(), brevik::toCp1252(data + QStringLiteral("\r\n")));
    }

    void pathNamesOpensTheSameWindowOnce()
    {
        Forms::showModeless(&Forms::brevik());
        frmPath& window = m_fixture.openPath();
        window.Text1->setText(QStringLiteral("/typed"));
        // Opening it again brings the same window forward without loading it anew.
        QCOMPARE(&m_fixture.openPath(), &window);
        QCOMPARE(window.Text1->text(), QStringLiteral("/typed"));
        window.Text2->setText(QStringLiteral("/qb"));
        window.cmdPath->click();
        checkHandedOver(QStringLiteral("/typed"), QStringLiteral("/qb"));
    }

    void closeButtonAtStartUpEndsTheProgram()
    {
        frmPath& window = m_fixture.openPath();
        window.Text1->setText(QStringLiteral("/data"));
        window.Text2->setText(QStringLiteral("/qb"));
        window.close();
        QTRY_VERIFY(Forms::endRequested());
        QVERIFY(!m_fixture.settingsExist());
        QVERIFY(!Forms::existingBrevik());
    }

    void closeButtonFromPathNamesHandsOverNothing()
    {
        QVERIFY(m_fixture.writeSettings(twoLines(QStringLiteral("/old/data"), QStringLiteral("/old/qb"))));
        auto& main = Forms::brevik();
        main.txtHold1->setText(QStringLiteral("/old/data"));
        main.txtHold2->setText(QStringLiteral("/old/qb"));
        Forms::showModeless(&main);
        frmPath& window = m_fixture.openPath();
        window.Text1->setText(QStringLiteral("/new/data"));
        window.Text2->setText(QStringLiteral("/new/qb"));
        window.close();
        QTRY_VERIFY(!Forms::existingPath());
        QCOMPARE(m_fixture.settingsBytes(), twoLines(QStringLiteral("/old/data"), QStringLiteral("/old/qb")));
        checkHandedOver(QStringLiteral("/old/data"), QStringLiteral("/old/qb"));
    }

    void unwritableFileIsToldAndTheHandOverGoesOn_data()
    {
        QTest::addColumn<QString>("programFolder"); // inside the test's folder
        QTest::newRow("program folder missing") << QStringLiteral("no/such/folder");
        QTest::newRow("a file where the folder should be") << QStringLiteral("plainfile");
    }

    // Neither the program's folder nor the user's configuration folder can take the file.
    void unwritableFileIsToldAndTheHandOverGoesOn()
    {
        QFETCH(QString, programFolder);
        QVERIFY(
            brevik::testing::writeBytes(m_fixture.programFolderPath() + QStringLiteral("/plainfile"), "x"));
        brevik::setProgramFolder(m_fixture.programFolderPath() + u'/' + programFolder);
        QVERIFY(brevik::testing::writeBytes(m_fixture.userSettingsPath(), "x"));

        frmPath& window = m_fixture.openPath();
        window.Text1->setText(QStringLiteral("/data"));
        window.Text2->setText(QStringLiteral("/qb"));
        window.cmdPath->click();

        const QStringList& told = m_fixture.messages.messages();
        QCOMPARE(told.size(), 1);
        const QString file = brevik::displayPath(
            brevik::joinFolderAndFile(m_fixture.userSettingsPath(), QStringLiteral("zrQBck.dat")));
        QVERIFY2(told.first().contains(file), qPrintable(told.first()));
        QCOMPARE(frmPath::remembered().dataFolder, QStringLiteral("/data"));
        checkHandedOver(QStringLiteral("/data"), QStringLiteral("/qb"));
    }

    // An installed program cannot write beside itself: the folders are saved for the user, and
    // the next start finds them there.
    void unwritableProgramFolderSavesForTheUser()
    {
        brevik::setProgramFolder(m_fixture.programFolderPath() + QStringLiteral("/no/such/folder"));
        frmPath& window = m_fixture.openPath();
        window.Text1->setText(QStringLiteral("/data"));
        window.Text2->setText(QStringLiteral("/qb"));
        window.cmdPath->click();
        QVERIFY(m_fixture.messages.messages().isEmpty());
        const QString userFile =
            brevik::joinFolderAndFile(m_fixture.userSettingsPath(), QStringLiteral("zrQBck.dat"));
        QCOMPARE(brevik::testing::readBytes(userFile),
                 twoLines(QStringLiteral("/data"), QStringLiteral("/qb")));

        Forms::resetForTesting();
        Forms::showModeless(&Forms::splash());
        QTRY_VERIFY(Forms::existingBrevik() && Forms::existingBrevik()->isVisible());
        checkHandedOver(QStringLiteral("/data"), QStringLiteral("/qb"));
    }
};

QTEST_MAIN(tst_FolderWindowContinue)
#include "tst_folderwindowcontinue.moc"
