#include "app/forms.h"
#include "app/frmbrevik.h"
#include "app/frmbrevik_design.h"
#include "app/frmsplash.h"
#include "brevik/version.h"
#include "platform/artwork.h"
#include "platform/datacontrolbox.h"
#include "platform/designstyle.h"
#include "platform/drivelist.h"
#include "platform/folderlist.h"
#include "platform/formdesign.h"
#include "platform/linecontrol.h"
#include "settings/frmpath.h"
#include "settings/frmpath_design.h"
#include "settings/programfolder.h"
#include "windows/frmabout.h"
#include "windows/frmabout_design.h"
#include "windows/frmexport.h"
#include "windows/frmexport_design.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace brevik::ui;

namespace {

// One window of the program: how to create it, the design it is built from, and the captions its
// load procedure puts in over those of the design.
struct WindowCase
{
    const char* name;
    QWidget* (*create)();
    const WindowDesign& (*design)();
    QHash<QString, QString> (*loaded)();
};

const WindowCase windowCases[] = {
    {"frmBrevik", [] { return static_cast<QWidget*>(new frmBrevik); }, &frmBrevikDesign,
     [] {
         return QHash<QString, QString>();
     }},
    {"frmExport", [] { return static_cast<QWidget*>(new frmExport); }, &frmExportDesign,
     [] {
         return QHash<QString, QString>{{QStringLiteral("lblInstruct"), exportInstructions()}};
     }},
    {"frmAbout", [] { return static_cast<QWidget*>(new frmAbout); }, &frmAboutDesign,
     [] {
         return QHash<QString, QString>{{QStringLiteral("lblVersion"), brevik::versionText()}};
     }},
    {"frmSplash", [] { return static_cast<QWidget*>(new frmSplash); }, &frmSplashDesign,
     [] {
         return QHash<QString, QString>{{QStringLiteral("lblVersion"), brevik::versionText()}};
     }},
    {"frmPath", [] { return static_cast<QWidget*>(new frmPath); }, &frmPathDesign,
     [] {
         return QHash<QString, QString>();
     }},
};

const char* widgetClass(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Label:
    case ControlKind::PictureBox:
        return "QLabel";
    case ControlKind::Frame:
        return "QGroupBox";
    case ControlKind::OptionButton:
        return "QRadioButton";
    case ControlKind::CommandButton:
        return "QPushButton";
    case ControlKind::TextField:
        return "QLineEdit";
    case ControlKind::ListBox:
        return "brevik::ui::TextList";
    case ControlKind::ProgressBar:
        return "QProgressBar";
    case ControlKind::DriveList:
        return "brevik::ui::DriveList";
    case ControlKind::FolderList:
        return "brevik::ui::FolderList";
    case ControlKind::Line:
        return "brevik::ui::LineControl";
    case ControlKind::Timer:
        return "QTimer";
    case ControlKind::DataControl:
        return "brevik::ui::DataControlBox";
    case ControlKind::CommonDialog:
        return "QObject";
    }
    return "";
}

QString captionOf(const QObject* object)
{
    if (auto* label = qobject_cast<const QLabel*>(object))
        return label->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(object))
        return button->text();
    if (auto* frame = qobject_cast<const QGroupBox*>(object))
        return frame->title();
    if (auto* field = qobject_cast<const QLineEdit*>(object))
        return field->text();
    return {};
}

// The client area: the widget that holds the controls placed directly in the window.
QWidget* clientOf(QWidget* window, const WindowDesign& design)
{
    for (const ControlDesign& c : design.controls)
        if (c.parent.isEmpty())
            if (auto* widget = window->findChild<QWidget*>(QString(c.name)))
                return widget->parentWidget();
    return window;
}

// Every way in which one control differs from its row of the design, in words.
template<typename T> QString shown(const T& value)
{
    QString text;
    QDebug(&text).nospace() << value;
    return text;
}

QStringList differences(QWidget* window, QWidget* client, const ControlDesign& c,
                        const QHash<QString, QString>& loaded)
{
    const QString name(c.name);
    QObject* object = window->findChild<QObject*>(name);
    if (!object)
        return {name + u": missing"};
    QStringList out;
    auto differ = [&](const char* what, const auto& actual, const auto& expected) {
        if (actual != expected)
            out << name + u": " + QLatin1StringView(what) + u" is " + shown(actual) + u", not " +
                       shown(expected);
    };
    differ("kind", QString::fromLatin1(object->metaObject()->className()),
           QString::fromLatin1(widgetClass(c.kind)));
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget)
        return out;

    QWidget* parent = c.parent.isEmpty() ? client : window->findChild<QWidget*>(QString(c.parent));
    if (widget->parentWidget() != parent)
        out << name + u": not in " +
                   (c.parent.isEmpty() ? QStringLiteral("the client area") : QString(c.parent));
    if (auto* line = qobject_cast<LineControl*>(widget)) {
        differ("line", line->line(), QLine(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)));
        differ("line width", line->lineWidth(), (c.flags & ThickLine) ? 2 : 1);
        if (c.foreground.isValid())
            differ("line colour", line->colour(), c.foreground);
        return out;
    }
    const QPoint position(pixels(c.left), pixels(c.top));
    if (c.flags & AutoSize)
        differ("geometry", widget->geometry(), QRect(position, widget->sizeHint()));
    else {
        // A caption put in at load may widen its label to the text, never narrow it.
        const QRect designed(position, QSize(pixels(c.width), pixels(c.height)));
        QRect actual = widget->geometry();
        if (loaded.contains(name) && actual.width() > designed.width())
            actual.setWidth(designed.width());
        differ("geometry", actual, designed);
    }
    differ("hidden", widget->isHidden(), bool(c.flags & Hidden));
    if (c.kind == ControlKind::PictureBox) {
        const QPixmap picture = qobject_cast<QLabel*>(widget)->pixmap();
        differ("picture", picture.size(), artworkPixmap(c.caption).size());
        differ("picture present", picture.isNull(), false);
    } else if (c.kind != ControlKind::ListBox && c.kind != ControlKind::ProgressBar) {
        differ("caption", captionOf(widget), loaded.value(name, c.caption));
    }
    if (auto* option = qobject_cast<QRadioButton*>(widget))
        differ("selected", option->isChecked(), bool(c.flags & Selected));
    if (auto* button = qobject_cast<QPushButton*>(widget))
        differ("default button", button->isDefault(), bool(c.flags & DefaultButton));
    const QFont font = widget->font();
    differ("font size", font.pointSizeF(), c.font.points);
    differ("bold", font.bold(), c.font.bold);
    differ("italic", font.italic(), c.font.italic);
    if (c.background.isValid() && !(c.flags & Transparent))
        differ("background", widget->palette().color(widget->backgroundRole()), c.background);
    if (c.foreground.isValid())
        differ("text colour", widget->palette().color(widget->foregroundRole()), c.foreground);
    return out;
}

// The controls that take the focus by the Tab key, in the order of the design's tab column.
QStringList designedTabOrder(QWidget* window, const WindowDesign& design)
{
    QList<const ControlDesign*> tabbed;
    for (const ControlDesign& c : design.controls)
        if (c.tab >= 0)
            tabbed.append(&c);
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const ControlDesign* a, const ControlDesign* b) { return a->tab < b->tab; });
    QStringList names;
    for (const ControlDesign* c : tabbed) {
        auto* widget = window->findChild<QWidget*>(QString(c->name));
        if (widget && (widget->focusPolicy() & Qt::TabFocus))
            names.append(QString(c->name));
    }
    return names;
}

// The same controls as the window's focus chain meets them, starting from the first.
QStringList focusChain(QWidget* window, const QStringList& designed)
{
    if (designed.isEmpty())
        return {};
    QWidget* first = window->findChild<QWidget*>(designed.first());
    QStringList names{designed.first()};
    for (QWidget* w = first->nextInFocusChain(); w && w != first && names.size() < 1000;
         w = w->nextInFocusChain())
        if (designed.contains(w->objectName()))
            names.append(w->objectName());
    return names;
}

} // namespace

// Each window, as it stands when it is created, against the table it is designed by.
class tst_WindowDesigns : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QWidget> m_window;
    const WindowCase* m_case = nullptr;

    void createWindow()
    {
        QFETCH(int, index);
        m_case = &windowCases[index];
        m_window.reset(m_case->create());
    }

    static void windowRows()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(windowCases)); ++i)
            QTest::newRow(windowCases[i].name) << i;
    }

    QTemporaryDir m_programFolder;

private Q_SLOTS:
    void initTestCase()
    {
        // No settings file: the folder settings show their design texts; the splash waits.
        brevik::setProgramFolder(m_programFolder.path());
        frmSplash::setTimerIntervalForTesting(600'000);
    }
    void cleanup() { m_window.reset(); }

    void controlsFollowTheDesign_data() { windowRows(); }
    void controlsFollowTheDesign()
    {
        createWindow();
        const WindowDesign& design = m_case->design();
        QWidget* client = clientOf(m_window.get(), design);
        QStringList found;
        for (const ControlDesign& c : design.controls)
            found << differences(m_window.get(), client, c, m_case->loaded());
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u"\n   ")));
    }

    void tabOrderFollowsTheTabColumn_data() { windowRows(); }
    void tabOrderFollowsTheTabColumn()
    {
        createWindow();
        const QStringList designed = designedTabOrder(m_window.get(), m_case->design());
        if (designed.isEmpty())
            QSKIP("Only labels here: nothing takes the focus.");
        QCOMPARE(focusChain(m_window.get(), designed), designed);
    }

    void windowFollowsTheDesign_data() { windowRows(); }
    void windowFollowsTheDesign()
    {
        createWindow();
        const WindowDesign& design = m_case->design();
        QCOMPARE(m_window->objectName(), QString(design.name));
        QCOMPARE(m_window->windowTitle(), design.caption);
        QVERIFY(!m_window->windowIcon().isNull());
        const bool sizable = design.frame == FrameKind::Sizable;
        const Qt::WindowFlags flags = m_window->windowFlags();
        QCOMPARE(bool(flags & Qt::WindowMaximizeButtonHint), sizable);
        QCOMPARE(bool(flags & Qt::WindowMinimizeButtonHint), sizable);
        // A fixed dialog frame has a title and a close button, and nothing the platform adds.
        if (design.frame == FrameKind::FixedDialog)
            QCOMPARE(flags & (Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
                     Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        QCOMPARE(m_window->minimumSize() == m_window->maximumSize(), !sizable);

        // The size at creation: the main window takes its working heights once it is active.
        QCOMPARE(clientOf(m_window.get(), design)->size(),
                 QSize(pixels(design.clientWidth), pixels(design.clientHeight)));
        Forms::showModeless(m_window.get());
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QRect screen = m_window->screen()->availableGeometry();
        // Centred as it opens; the main window then takes its working height below the same top.
        const QRect frame = m_window->frameGeometry();
        QVERIFY2(std::abs(frame.center().x() - screen.center().x()) <= 2, "the window opens centred");
        if (clientOf(m_window.get(), design)->height() == pixels(design.clientHeight))
            QVERIFY2(std::abs(frame.center().y() - screen.center().y()) <= 2, "the window opens centred");
        else
            QVERIFY2(frame.top() > screen.top() && frame.center().y() < screen.center().y(),
                     "the window opens centred, then shrinks below its top");
    }

    void firstFocusGoesToTheFirstControlThatTakesIt_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("control");
        QTest::newRow("frmBrevik") << 0 << QStringLiteral("Command1");
        QTest::newRow("frmExport") << 1 << QStringLiteral("cmdPrint");
        QTest::newRow("frmAbout") << 2 << QStringLiteral("cmdOK");
        QTest::newRow("frmPath") << 4 << QStringLiteral("Text1");
    }
    void firstFocusGoesToTheFirstControlThatTakesIt()
    {
        QFETCH(QString, control);
        createWindow();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QVERIFY(m_window->focusWidget());
        QCOMPARE(m_window->focusWidget()->objectName(), control);
    }

    // Command buttons and drive lists show the design's colours flat, not as gradients that
    // turn them nearly white.
    void buttonsAndDriveListsAreFlat()
    {
        frmPath window;
        DesignStyle style;
        auto* button = window.findChild<QPushButton*>(QStringLiteral("cmdPath"));
        auto* drives = window.findChild<DriveList*>(QStringLiteral("drvBox"));
        const std::pair<QWidget*, QColor> cases[] = {{button, colours::Beige}, {drives, colours::LightCyan}};
        for (const auto& [widget, colour] : cases) {
            widget->setStyle(&style);
            const QImage image = widget->grab().toImage();
            // Inside the edge, left of the text, at the top and at the bottom.
            for (const int y : {3, widget->height() - 4})
                QCOMPARE(QColor(image.pixel(3, y)), colour);
        }
    }

    void artworkIsInTheResources()
    {
        const QIcon icon = windowIcon();
        QVERIFY(!icon.isNull());
        const QList<QSize> sizes = icon.availableSizes();
        for (const QSize size : {QSize(64, 64), QSize(32, 32), QSize(16, 16)})
            QVERIFY(sizes.contains(size));
        QCOMPARE(artworkPixmap(QStringLiteral(":/brevik/picicon.png")).size(), QSize(32, 32));
        QCOMPARE(artworkPixmap(QStringLiteral(":/brevik/splash.png")).size(), QSize(600, 407));
        // Each picture at twice the size too, for a screen of twice the density.
        QCOMPARE(QPixmap(QStringLiteral(":/brevik/picicon@2x.png")).size(), QSize(64, 64));
        QCOMPARE(QPixmap(QStringLiteral(":/brevik/splash@2x.png")).size(), QSize(1200, 814));
    }

    // A screen reader names every field, list and bar by the label beside it.
    void everyFieldListAndBarHasAName_data() { windowRows(); }
    void everyFieldListAndBarHasAName()
    {
        createWindow();
        QStringList unnamed;
        for (QWidget* control : m_window->findChildren<QWidget*>()) {
            const bool named = qobject_cast<QLineEdit*>(control) ||
                               qobject_cast<QAbstractItemView*>(control) ||
                               qobject_cast<QProgressBar*>(control) || qobject_cast<QComboBox*>(control);
            // A combo box's own line and list are named through it.
            if (named && !qobject_cast<QComboBox*>(control->parentWidget()) &&
                !qobject_cast<QComboBox*>(control->parentWidget() ? control->parentWidget()->parentWidget()
                                                                  : nullptr) &&
                control->accessibleName().isEmpty())
                unnamed << control->objectName();
        }
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u", ")));
    }
};

QTEST_MAIN(tst_WindowDesigns)
#include "tst_windowdesigns.moc"
