#include "mainwindowfixture.h"

#include "app/frmsplash.h"
#include "settings/frmpath.h"
#include "windows/frmabout.h"
#include "windows/frmexport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

using namespace brevik;

namespace {

// Records that a window ran its closing procedure.
class CloseWatcher : public QObject
{
public:
    using QObject::QObject;
    int closes = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close)
            ++closes;
        return QObject::eventFilter(watched, event);
    }
};

QStringList entries(const QMenu* menu)
{
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

} // namespace

// The menus, the windows they open, and the ways the program ends.
class tst_MenusAndClosing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void menusAsDesigned()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        QStringList headers;
        for (const QAction* action : w.menuBar()->actions())
            headers.append(action->text());
        QCOMPARE(headers, (QStringList{QStringLiteral("&File"), QStringLiteral("&Help")}));
        QCOMPARE(entries(w.mnuFile),
                 (QStringList{QStringLiteral("&Path Names"), QStringLiteral("Pre&view Import..."),
                              QStringLiteral("Save &Report..."), QStringLiteral("&Backups..."),
                              QStringLiteral("-"), QStringLiteral("E&xit")}));
        QCOMPARE(entries(w.mnuHelp), (QStringList{QStringLiteral("&About"), QStringLiteral("-"),
                                                  QStringLiteral("&Export Details")}));
        QList<QAction*> all = w.mnuFile->actions() + w.mnuHelp->actions();
        all << w.mnuFile->menuAction() << w.mnuHelp->menuAction();
        for (const QAction* action : all) {
            QVERIFY(action->shortcut().isEmpty());
            QVERIFY(!action->isCheckable());
            QCOMPARE(action->isEnabled(), action != w.mnuPreview && action != w.mnuSaveReport);
        }
        QCOMPARE(w.mnusep2->objectName(), QStringLiteral("mnusep2"));
        QCOMPARE(w.mnuExport->objectName(), QStringLiteral("mnuExport"));
    }

    void menusOpenEachWindowOnce_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("window");
        QTest::newRow("Path Names") << QStringLiteral("mnuPathNames") << QStringLiteral("frmPath");
        QTest::newRow("About") << QStringLiteral("mnuAbout") << QStringLiteral("frmAbout");
        QTest::newRow("Export Details") << QStringLiteral("mnuExport") << QStringLiteral("frmExport");
    }

    void menusOpenEachWindowOnce()
    {
        QFETCH(QString, entry);
        QFETCH(QString, window);
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        auto* action = w.findChild<QAction*>(entry);
        QVERIFY(action);
        action->trigger();
        action->trigger();
        int open = 0;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == window && top->isVisible()) {
                ++open;
                QVERIFY(!top->isModal());
            }
        QCOMPARE(open, 1);
        // Modeless: the main window's commands stay usable.
        QVERIFY(w.Command1->isEnabled());
    }

    void exitEndsAtOnce()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        w.mnuAbout->trigger();
        CloseWatcher watcher;
        ui::Forms::existingAbout()->installEventFilter(&watcher);
        w.cmdExit->setVisible(true);
        QTest::mouseClick(w.cmdExit, Qt::LeftButton);
        QVERIFY(ui::Forms::endRequested());
        QCOMPARE(watcher.closes, 0);
        QVERIFY(!ui::Forms::existingBrevik());
        QVERIFY(!ui::Forms::existingAbout());
    }

    void fileExitEndsAtOnce()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        w.mnuFile->popup(w.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(w.mnuFile));
        // Chosen from the open menu, which belongs to the window that ends: the window may only
        // go once the menu's handler has returned.
        QTest::mouseClick(w.mnuFile, Qt::LeftButton, {}, w.mnuFile->actionGeometry(w.mnuExit).center());
        QVERIFY(ui::Forms::endRequested());
        QVERIFY(!ui::Forms::existingBrevik());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void closingClosesEveryWindowAndEnds()
    {
        testing::MainWindowFixture f;
        ui::frmBrevik& w = f.showMainWindow();
        w.mnuAbout->trigger();
        w.mnuExport->trigger();
        w.mnuPathNames->trigger();
        CloseWatcher watcher;
        const QWidgetList others = {ui::Forms::existingAbout(), ui::Forms::existingExport(),
                                    ui::Forms::existingPath()};
        for (QWidget* other : others)
            other->installEventFilter(&watcher);
        int ends = 0;
        ui::Forms::setEndHook([&ends] { ++ends; });

        QVERIFY(w.close()); // never refused
        QCOMPARE(watcher.closes, 3);
        QCOMPARE(ends, 1);
        QVERIFY(ui::Forms::endRequested());
        for (QWidget* top : QApplication::topLevelWidgets())
            QVERIFY2(!top->isVisible(), qPrintable(top->objectName()));
        QVERIFY(!ui::Forms::existingBrevik());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
};

QTEST_MAIN(tst_MenusAndClosing)
#include "tst_menusandclosing.moc"
