#include "app/frmbrevik.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>

using namespace brevik::ui;

// The menu tree of the main window: File and Help with their entries, in order, each with its
// access key and none with a shortcut or a check mark. The entries that need a chosen file or a
// STRIP behind them wait for it.
class tst_MenuTree : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mainWindowMenus()
    {
        frmBrevik window;
        auto* bar = window.findChild<QMenuBar*>();
        QVERIFY2(bar && !bar->actions().isEmpty(), "the main window has no menus");
        using Entry = QPair<QString, QString>; // object name, caption ("-" for a separator)
        const QList<QPair<Entry, QList<Entry>>> expected = {
            {{QStringLiteral("mnuFile"), QStringLiteral("&File")},
             {{QStringLiteral("mnuPathNames"), QStringLiteral("&Path Names")},
              {QStringLiteral("mnuPreview"), QStringLiteral("Pre&view Import...")},
              {QStringLiteral("mnuSaveReport"), QStringLiteral("Save &Report...")},
              {QStringLiteral("mnuBackups"), QStringLiteral("&Backups...")},
              {QStringLiteral("mnusep2"), QStringLiteral("-")},
              {QStringLiteral("mnuExit"), QStringLiteral("E&xit")}}},
            {{QStringLiteral("mnuHelp"), QStringLiteral("&Help")},
             {{QStringLiteral("mnuAbout"), QStringLiteral("&About")},
              {QStringLiteral("mnuSep1"), QStringLiteral("-")},
              {QStringLiteral("mnuExport"), QStringLiteral("&Export Details")}}},
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
                const bool waits =
                    action->objectName() == u"mnuPreview" || action->objectName() == u"mnuSaveReport";
                QCOMPARE(action->isEnabled(), !waits);
                QVERIFY(action->isVisible());
            }
            actual.append({Entry(menu->objectName(), top->text()), entries});
        }
        QCOMPARE(actual, expected);
    }
};

QTEST_MAIN(tst_MenuTree)
#include "tst_menutree.moc"
