#include "startupfixture.h"

#include "platform/drivelist.h"
#include "platform/folderlist.h"

#include <QPushButton>

using brevik::FolderSettings;
using brevik::ui::DriveList;
using brevik::ui::FolderList;
using brevik::ui::Forms;
using brevik::ui::frmPath;

// Opening the folder-settings window loads zrQBck.dat into its remembered folders and its two
// columns; the drive lists, folder lists and fields then follow each other.
class tst_FolderWindowLoad : public QObject
{
    Q_OBJECT

    brevik::testing::StartupFixture m_fixture;
    const QString m_placeholder = QStringLiteral("No Folder Selected");

    // Opens the window once with a good file, so that both folders are remembered, and closes it.
    void rememberEarlierFolders(const QString& data, const QString& qb)
    {
        QVERIFY(m_fixture.writeSettings((data + u"\r\n" + qb + u"\r\n").toLatin1()));
        delete &Forms::path();
        QCOMPARE(frmPath::remembered().quickBooksFolder, qb);
    }

    static QListWidgetItem* rowNamed(const FolderList* list, const QString& text)
    {
        const auto found = list->findItems(text, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }

    // As the operator does it: press, release, and the second press that makes the double-click.
    static void doubleClick(FolderList* list, QListWidgetItem* row)
    {
        list->scrollToItem(row);
        const QPoint at = list->visualItemRect(row).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
    }

private Q_SLOTS:
    void init() { m_fixture.start(); }
    void cleanup() { m_fixture.finish(); }

    void showsTheDesign()
    {
        frmPath& window = m_fixture.openPath();
        QCOMPARE(window.windowTitle(), QStringLiteral("Location of Orvella OE and QuickBooks Folders"));
        QCOMPARE(window.size(), QSize(568, 363));
        QCOMPARE(window.Text1->text(), m_placeholder);
        QCOMPARE(window.Text2->text(), m_placeholder);
        QCOMPARE(window.cmdPath->text(), QStringLiteral("Continue"));
        QCOMPARE(window.Text1->geometry(), QRect(48, 240, 225, 19));
        QCOMPARE(window.Dir1->geometry(), QRect(304, 128, 225, 81));
        QCOMPARE(window.Text1->palette().color(QPalette::Base), QColor(192, 255, 255));
        QCOMPARE(window.controls().get<QWidget>(u"Label1")->palette().color(QPalette::WindowText),
                 QColor(255, 0, 0));
        QCOMPARE(window.palette().color(QPalette::Window), QColor(221, 219, 205));
        // The result field of the data folder takes the focus first, then Continue.
        QCOMPARE(window.focusWidget(), window.Text1);
        QCOMPARE(window.Text1->nextInFocusChain(), window.cmdPath);
        // Both lists start on the working folder and its drive.
        QCOMPARE(window.dirBox->path(), QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(window.drvBox->drive(), brevik::driveOf(window.dirBox->path()));
    }

    void loadsStoredFolders()
    {
        const QString data = m_fixture.folder(QStringLiteral("Orvella/Data"));
        const QString qb = m_fixture.folder(QStringLiteral("Quick Books, 2005"));
        QVERIFY(m_fixture.writeSettings((data + u"\r\n" + qb + u"\r\nignored\r\n").toLatin1()));
        frmPath& window = m_fixture.openPath();
        QCOMPARE(window.Text1->text(), data);
        QCOMPARE(window.dirBox->path(), data);
        QCOMPARE(window.drvBox->drive(), brevik::driveOf(data));
        QCOMPARE(window.Text2->text(), qb);
        QCOMPARE(window.Dir1->path(), qb);
        QCOMPARE(frmPath::remembered().dataFolder, data);
        QCOMPARE(frmPath::remembered().quickBooksFolder, qb);
    }

    void failedReadForgetsTheDataFolder_data()
    {
        QTest::addColumn<QByteArray>("file"); // "-": no file
        QTest::newRow("no file") << QByteArray("-");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("one line") << QByteArray("/srv/new-data\r\n");
    }

    void failedReadForgetsTheDataFolder()
    {
        QFETCH(QByteArray, file);
        const QString data = m_fixture.folder(QStringLiteral("data"));
        const QString qb = m_fixture.folder(QStringLiteral("qb"));
        rememberEarlierFolders(data, qb);
        QFile::remove(m_fixture.settingsPath());
        if (file != "-")
            QVERIFY(m_fixture.writeSettings(file));

        frmPath& window = m_fixture.openPath();
        QCOMPARE(frmPath::remembered().dataFolder, QString());
        QCOMPARE(frmPath::remembered().quickBooksFolder, qb); // line 2 was never read
        QCOMPARE(window.Text1->text(), m_placeholder);
        QCOMPARE(window.Text2->text(), m_placeholder);
    }

    void invalidStoredFolderIsRememberedButNotShown()
    {
        const QString qb = m_fixture.folder(QStringLiteral("qb"));
        QVERIFY(
            m_fixture.writeSettings((QStringLiteral("\\\\server\\orvella\r\n") + qb + u"\r\n").toLatin1()));
        frmPath& window = m_fixture.openPath();
        QCOMPARE(window.Text1->text(), m_placeholder);
        QCOMPARE(window.dirBox->path(), QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(window.Text2->text(), qb);
        QCOMPARE(frmPath::remembered().dataFolder, QStringLiteral("\\\\server\\orvella"));
    }

    void unselectableFolderStopsLoading_data()
    {
        QTest::addColumn<QString>("storedData"); // relative to the test folder unless absolute
        QTest::addColumn<QString>("storedQb");
        QTest::addColumn<bool>("dataShown");
        QTest::newRow("data folder removed") << QStringLiteral("gone") << QStringLiteral("qb") << false;
        QTest::newRow("QuickBooks folder removed")
            << QStringLiteral("data") << QStringLiteral("gone") << true;
        QTest::newRow("drive that cannot be read")
            << QStringLiteral("/brevik-no-such-volume/data") << QStringLiteral("qb") << false;
    }

    void unselectableFolderStopsLoading()
    {
        QFETCH(QString, storedData);
        QFETCH(QString, storedQb);
        QFETCH(bool, dataShown);
        brevik::setVolumeRootsForTesting({QStringLiteral("/"), QStringLiteral("/brevik-no-such-volume")});
        auto place = [this](const QString& name) {
            if (name.startsWith(u'/'))
                return name;
            return name == u"gone" ? m_fixture.programFolderPath() + QStringLiteral("/gone")
                                   : m_fixture.folder(name);
        };
        const QString data = place(storedData);
        const QString qb = place(storedQb);
        QVERIFY(m_fixture.writeSettings((data + u"\r\n" + qb + u"\r\n").toLatin1()));

        frmPath& window = m_fixture.openPath();
        QCOMPARE(frmPath::remembered().dataFolder, QString());
        QCOMPARE(frmPath::remembered().quickBooksFolder, qb);
        // What the controls show when loading stops stays. Both folder lists were already on the
        // working folder of the drive chosen, so only a folder shown in full changed a field.
        QCOMPARE(window.Text1->text(), dataShown ? data : m_placeholder);
        QCOMPARE(window.Text2->text(), m_placeholder);
        if (dataShown)
            QCOMPARE(window.dirBox->path(), data);
    }

    void folderListShowsThePathFromTheRootThenSubfolders()
    {
        const QString current = m_fixture.folder(QStringLiteral("top/current"));
        for (const char* sub : {"beta", "Alpha", "gamma/deeper", ".hidden"})
            m_fixture.folder(QStringLiteral("top/current/") + QLatin1StringView(sub));
        frmPath& window = m_fixture.openPath();
        QVERIFY(window.dirBox->setPath(current));

        QStringList rows;
        for (int i = 0; i < window.dirBox->count(); ++i)
            rows.append(window.dirBox->item(i)->text());
        const QStringList below = {QStringLiteral("Alpha"), QStringLiteral("beta"), QStringLiteral("gamma")};
        QCOMPARE(rows.mid(rows.size() - 3), below);
        QCOMPARE(rows.first(), QDir::toNativeSeparators(QDir::rootPath()));
        QCOMPARE(rows.at(rows.size() - 4), QStringLiteral("current"));
        QCOMPARE(rows.at(rows.size() - 5), QStringLiteral("top"));
        QCOMPARE(window.dirBox->currentFolderRow()->text(), QStringLiteral("current"));
        QCOMPARE(FolderList::rowPath(rowNamed(window.dirBox, QStringLiteral("Alpha"))), current + u"/Alpha");
        QVERIFY(!window.dirBox->setPath(current + u"/missing"));
        QCOMPARE(window.dirBox->path(), current);
    }

    void folderChangesFillTheField()
    {
        const QString top = m_fixture.folder(QStringLiteral("top"));
        m_fixture.folder(QStringLiteral("top/Sub Folder"));
        frmPath& window = m_fixture.openPath();
        QVERIFY(window.dirBox->setPath(top));
        QCOMPARE(window.Text1->text(), top);
        QCOMPARE(window.Text2->text(), m_placeholder);

        // A double-click opens a subfolder, and a double-click on a row above goes back up.
        QListWidgetItem* sub = rowNamed(window.dirBox, QStringLiteral("Sub Folder"));
        QVERIFY(sub);
        doubleClick(window.dirBox, sub);
        QCOMPARE(window.dirBox->path(), top + QStringLiteral("/Sub Folder"));
        QCOMPARE(window.Text1->text(), top + QStringLiteral("/Sub Folder"));
        doubleClick(window.dirBox, window.dirBox->item(0));
        QCOMPARE(window.Text1->text(), QDir::toNativeSeparators(QDir::rootPath()));

        // Typing changes only the field.
        window.Text2->clear();
        QTest::keyClicks(window.Text2, QStringLiteral("/typed"));
        QCOMPARE(window.Text2->text(), QStringLiteral("/typed"));
        QCOMPARE(window.Dir1->path(), QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(window.Text1->text(), QDir::toNativeSeparators(QDir::rootPath()));
        QCOMPARE(frmPath::remembered().quickBooksFolder, QString());
    }

    void driveChangeMovesTheFolderList()
    {
        const QString volume = m_fixture.folder(QStringLiteral("volume"));
        brevik::setVolumeRootsForTesting(
            {QStringLiteral("/"), volume, QStringLiteral("/brevik-no-such-volume")});
        frmPath& window = m_fixture.openPath();
        DriveList* drives = window.Drive1;
        QCOMPARE(drives->count(), 3);

        drives->setCurrentIndex(drives->findData(volume));
        QCOMPARE(window.Dir1->path(), volume);
        QCOMPARE(window.Text2->text(), volume);
        QCOMPARE(window.Text1->text(), m_placeholder);

        // The root volume holds the working folder, so the list moves there.
        drives->setCurrentIndex(drives->findData(QStringLiteral("/")));
        QCOMPARE(window.Dir1->path(), QDir::toNativeSeparators(QDir::currentPath()));
        QCOMPARE(window.Text2->text(), window.Dir1->path());

        // A drive that cannot be read is not taken: the list goes back to the folder's drive.
        const QString before = window.Dir1->path();
        drives->setCurrentIndex(drives->findData(QStringLiteral("/brevik-no-such-volume")));
        QCOMPARE(drives->drive(), QStringLiteral("/"));
        QCOMPARE(window.Dir1->path(), before);
        QCOMPARE(window.Text2->text(), before);
    }
};

QTEST_MAIN(tst_FolderWindowLoad)
#include "tst_folderwindowload.moc"
