#include "mainwindowfixture.h"
#include "support/testsupport.h"

#include "settings/frmpath.h"
#include "windows/frmabout.h"
#include "windows/frmexport.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>

#include <tuple>

using namespace brevik;
using brevik::testing::readBytes;
using brevik::testing::writeBytes;

namespace {

QString focusName()
{
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QStringLiteral("(none)");
}

// The names the focus visits from the control that has it, one key press at a time, until it
// comes back.
QStringList focusCycle(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QString start = focusName();
    QStringList visited{start};
    for (int i = 0; i < 60; ++i) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
        if (focusName() == start)
            break;
        visited.append(focusName());
    }
    return visited;
}

enum class Window
{
    Main,
    Path,
    Export,
    About,
};

QWidget* showWindow(testing::MainWindowFixture& f, Window which)
{
    QWidget* window = nullptr;
    switch (which) {
    case Window::Main:
        return &f.showMainWindow();
    case Window::Path:
        window = &ui::Forms::path();
        break;
    case Window::Export:
        window = &ui::Forms::exportWindow();
        break;
    case Window::About:
        window = &ui::Forms::about();
        break;
    }
    ui::Forms::showModeless(window);
    if (!QTest::qWaitForWindowActive(window))
        qWarning("The window did not become active");
    return window;
}

} // namespace

// The keyboard as the operator meets it: Tab through the main window, the arrow keys among the
// options, and Return on a command button in every window.
class tst_Keyboard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Tab visits the controls that can take the focus in the order of the design's tab column,
    // the hidden record fields included; each group of options is one stop, at its selected
    // option. Shift+Tab goes the same way back. Neither selects nor stores a version.
    void tabFollowsTheDesignOrder_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("version");
        QTest::newRow("V5.0-V2000 selected") << QByteArray("0\r\n") << QStringLiteral("opt2000");
        QTest::newRow("V2001-V2005 selected") << QByteArray("1\r\n") << QStringLiteral("opt2002");
    }
    void tabFollowsTheDesignOrder()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, version);
        testing::MainWindowFixture f;
        QVERIFY(writeBytes(f.versionFile(), stored));
        ui::frmBrevik& w = f.showMainWindow();
        QCOMPARE(focusName(), QStringLiteral("Command1"));
        QStringList expected = {QStringLiteral("Command1"), QStringLiteral("txtCustIIF")};
        for (const int field : {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0})
            expected.append(QStringLiteral("Text1(%1)").arg(field));
        expected << QStringLiteral("optOrv") << version;
        QCOMPARE(focusCycle(Qt::Key_Tab), expected);
        QStringList back(expected.rbegin(), expected.rend() - 1);
        back.prepend(expected.first());
        QCOMPARE(focusCycle(Qt::Key_Backtab, Qt::ShiftModifier), back);
        QCOMPARE(w.controls().get<QRadioButton>(version)->isChecked(), true);
        QCOMPARE(readBytes(f.versionFile()), stored);
    }

    // The arrow keys move among the options of one group, selecting and storing as a click
    // does, and never cross into the other group.
    void arrowKeysStayInTheirGroup_data()
    {
        QTest::addColumn<QByteArray>("stored"); // QBvers.Dat before; empty: no file
        QTest::addColumn<QString>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QByteArray>("storedAfter");
        const QString orv = QStringLiteral("optOrv");
        const QString v2000 = QStringLiteral("opt2000");
        const QString v2002 = QStringLiteral("opt2002");
        const std::pair<const char*, int> keys[] = {
            {"Right", Qt::Key_Right}, {"Left", Qt::Key_Left}, {"Up", Qt::Key_Up}, {"Down", Qt::Key_Down}};
        for (const auto& [name, key] : keys)
            QTest::addRow("%s on optOrv", name) << QByteArray() << orv << key << orv << QByteArray();
        QTest::newRow("Right on opt2000")
            << QByteArray() << v2000 << int(Qt::Key_Right) << v2002 << QByteArray("1\r\n");
        QTest::newRow("Left on opt2002")
            << QByteArray("1\r\n") << v2002 << int(Qt::Key_Left) << v2000 << QByteArray("0\r\n");
        QTest::newRow("Right on opt2002")
            << QByteArray("1\r\n") << v2002 << int(Qt::Key_Right) << v2002 << QByteArray("1\r\n");
        QTest::newRow("Left on opt2000")
            << QByteArray() << v2000 << int(Qt::Key_Left) << v2000 << QByteArray();
        QTest::newRow("Down on opt2000")
            << QByteArray() << v2000 << int(Qt::Key_Down) << v2000 << QByteArray();
        QTest::newRow("Up on opt2002")
            << QByteArray("1\r\n") << v2002 << int(Qt::Key_Up) << v2002 << QByteArray("1\r\n");
    }
    void arrowKeysStayInTheirGroup()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, start);
        QFETCH(int, key);
        QFETCH(QString, focus);
        QFETCH(QByteArray, storedAfter);
        testing::MainWindowFixture f;
        if (!stored.isEmpty())
            QVERIFY(writeBytes(f.versionFile(), stored));
        ui::frmBrevik& w = f.showMainWindow();
        auto* optOrv = w.controls().get<QRadioButton>(u"optOrv");
        w.controls().get<QWidget>(start)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
        QCOMPARE(focusName(), focus);
        QVERIFY(optOrv->isChecked());
        QCOMPARE(w.opt2002->isChecked(), storedAfter == "1\r\n");
        QCOMPARE(w.opt2000->isChecked(), storedAfter != "1\r\n");
        QCOMPARE(w.gOpt, storedAfter == "1\r\n" ? QStringLiteral("1") : QStringLiteral("0"));
        QCOMPARE(QFile::exists(f.versionFile()), !storedAfter.isEmpty());
        if (!storedAfter.isEmpty())
            QCOMPARE(readBytes(f.versionFile()), storedAfter);
    }

    // Return and Enter press the command button that has the focus, in every window; in the
    // about box that is also the button other than its default.
    void returnPressesTheFocusedButton_data()
    {
        QTest::addColumn<int>("window");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("other"); // a button of the same window that stays unpressed
        const auto rows = {std::tuple(Window::Main, "Command1", ""), std::tuple(Window::Path, "cmdPath", ""),
                           std::tuple(Window::Export, "cmdPrint", ""),
                           std::tuple(Window::About, "cmdOK", "cmdSysInfo"),
                           std::tuple(Window::About, "cmdSysInfo", "cmdOK")};
        for (const auto& [window, button, other] : rows)
            for (const char* key : {"Return", "Enter"})
                QTest::addRow("%s, %s", button, key)
                    << (int(window) * 2 + (key[0] == 'E')) << QString::fromLatin1(button)
                    << QString::fromLatin1(other);
    }
    void returnPressesTheFocusedButton()
    {
        QFETCH(int, window);
        QFETCH(QString, button);
        QFETCH(QString, other);
        testing::MainWindowFixture f;
        QWidget* shown = showWindow(f, Window(window / 2));
        // Only the press is watched; what the buttons do is told elsewhere.
        auto* pressed = shown->findChild<QPushButton*>(button);
        QVERIFY(pressed);
        QObject::disconnect(pressed, &QPushButton::clicked, nullptr, nullptr);
        QSignalSpy clicks(pressed, &QPushButton::clicked);
        auto* unpressed = other.isEmpty() ? nullptr : shown->findChild<QPushButton*>(other);
        if (unpressed)
            QObject::disconnect(unpressed, &QPushButton::clicked, nullptr, nullptr);
        QSignalSpy otherClicks(unpressed ? unpressed : pressed, &QPushButton::clicked);
        pressed->setFocus();
        QTest::keyClick(pressed, window % 2 ? Qt::Key_Enter : Qt::Key_Return);
        QCOMPARE(clicks.count(), 1);
        if (unpressed)
            QCOMPARE(otherClicks.count(), 0);
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_keyboard.moc"
