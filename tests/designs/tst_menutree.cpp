#include "app/frmbrevik.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace brevik::ui;

// The menu tree of the main window: File and Help with their entries, in order, none with a
// shortcut, an access key or a check mark.
class tst_MenuTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowMenus()
    {
        frmBrevik window;
        auto* bar = window.findChild<QMenuBar*>();
        if (!bar || bar->actions().isEmpty())
            QSKIP("The main window has no menus yet.");
        using Entry = QPair<QString, QString>; // object name, caption ("-" for a separator)
        const QList<QPair<Entry, QList<Entry>>> expected = {
            {{QStringLiteral("mnuFile"), QStringLiteral("File")},
             {{QStringLiteral("mnuPathNames"), QStringLiteral("Path Names")},
              {QStringLiteral("mnusep2"), QStringLiteral("-")},
              {QStringLiteral("mnuExit"), QStringLiteral("Exit")}}},
            {{QStringLiteral("mnuHelp"), QStringLiteral("Help")},
             {{QStringLiteral("mnuAbout"), QStringLiteral("About")},
              {QStringLiteral("mnuSep1"), QStringLiteral("-")},
              {QStringLiteral("mnuExport"), QStringLiteral("Export Details")}}},
        };
        auto entry = [](const QAction* action) {
            return Entry(action->objectName(), action->isSeparator() ? QStringLiteral("-") : action->text());
        };
        QList<QPair<Entry, QList<Entry>>> actual;
        for (QAction* top : bar->actions()) {
            QMenu* menu = top->menu();
            QVERIFY(menu);
            QList<Entry> entries;
            for (QAction* action : menu->actions()) {
                entries.append(entry(action));
                QVERIFY(action->shortcut().isEmpty());
                QVERIFY(!action->isCheckable());
                QVERIFY(action->isEnabled() && action->isVisible());
            }
            actual.append({Entry(menu->objectName(), top->text()), entries});
        }
        QCOMPARE(actual, expected);
    }
};

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
