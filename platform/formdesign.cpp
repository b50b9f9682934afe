#include "formdesign.h"

#include "platform/artwork.h"
#include "platform/datacontrolbox.h"
#include "platform/drivelist.h"
#include "platform/folderlist.h"
#include "platform/linecontrol.h"
#include "platform/textlist.h"

#include <QButtonGroup>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace brevik::ui {
namespace {

QStringList facesFor(QLatin1StringView face)
{
    if (face.isEmpty() || face == QLatin1StringView("MS Sans Serif"))
        return {QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                QStringLiteral("Sans Serif")};
    if (face == QLatin1StringView("Arial"))
        return {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    return {QString(face), QStringLiteral("DejaVu Sans")};
}

void setColours(QWidget* widget, const QColor& background, const QColor& foreground, bool fillBackground)
{
    QPalette palette = widget->palette();
    if (background.isValid()) {
        for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base})
            palette.setColor(role, background);
        widget->setAutoFillBackground(fillBackground);
    }
    if (foreground.isValid()) {
        for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            palette.setColor(role, foreground);
    }
    widget->setPalette(palette);
}

// Esc presses a cancel button and Enter a default button, wherever the focus is in the window; a
// dialog presses its default button by itself. The keys belong to the button, so they rest while
// it is hidden.
void addButtonKeys(QPushButton* button, unsigned flags)
{
    QList<QKeySequence> keys;
    if (flags & CancelButton)
        keys.append(QKeySequence(Qt::Key_Escape));
    if ((flags & DefaultButton) && !qobject_cast<QDialog*>(button->window()))
        keys << QKeySequence(Qt::Key_Return) << QKeySequence(Qt::Key_Enter);
    for (const QKeySequence& key : keys) {
        auto* shortcut = new QShortcut(key, button);
        QObject::connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
}

// Only the selected option of a group takes the focus by Tab.
void tabStopAtSelected(const QButtonGroup* group)
{
    const QAbstractButton* selected = group->checkedButton();
    for (QAbstractButton* option : group->buttons()) {
        const Qt::FocusPolicy policy = option->focusPolicy();
        option->setFocusPolicy(!selected || option == selected ? Qt::FocusPolicy(policy | Qt::TabFocus)
                                                               : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
}

QWidget* createWidget(const ControlDesign& c, QWidget* parent)
{
    switch (c.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(c.caption, parent);
        label->setWordWrap(!(c.flags & AutoSize));
        label->setAlignment((c.flags & Centred) ? Qt::AlignHCenter | Qt::AlignTop
                                                : Qt::AlignLeft | Qt::AlignTop);
        label->setTextFormat(Qt::PlainText);
        return label;
    }
    case ControlKind::Frame:
        return new QGroupBox(c.caption, parent);
    case ControlKind::OptionButton: {
        auto* option = new QRadioButton(c.caption, parent);
        option->setChecked(c.flags & Selected);
        return option;
    }
    case ControlKind::CommandButton: {
        auto* button = new QPushButton(c.caption, parent);
        // Return and Enter press the button that has the focus, as Space does.
        button->setAutoDefault(true);
        button->setDefault(c.flags & DefaultButton);
        addButtonKeys(button, c.flags);
        return button;
    }
    case ControlKind::TextField:
        return new QLineEdit(c.caption, parent);
    case ControlKind::ListBox: {
        // A list box scrolls only up and down; a row wider than the list is cut at its edge.
        auto* list = new TextList(parent);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        list->setTextElideMode(Qt::ElideNone);
        return list;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::DriveList:
        return new DriveList(parent);
    case ControlKind::FolderList:
        return new FolderList(parent);
    case ControlKind::PictureBox: {
        auto* picture = new QLabel(parent);
        picture->setPixmap(artworkPixmap(c.caption));
        if (!(c.flags & NoBorder))
            picture->setFrameShape(QFrame::Box);
        return picture;
    }
    case ControlKind::DataControl:
        return new DataControlBox(c.caption, parent);
    case ControlKind::Line:
        return new LineControl(QLine(pixels(c.left), pixels(c.top), pixels(c.width), pixels(c.height)),
                               c.foreground, (c.flags & ThickLine) ? 2 : 1, parent);
    case ControlKind::Timer:
    case ControlKind::CommonDialog:
        return nullptr;
    }
    return nullptr;
}

} // namespace

QFont designFont(const FontDesign& font)
{
    QFont f;
    f.setFamilies(facesFor(font.face));
    f.setPointSizeF(font.points > 0 ? font.points : 8.25);
    f.setBold(font.bold);
    f.setItalic(font.italic);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

void DesignedControls::build(QWidget* client, const WindowDesign& design)
{
    m_design = design.controls;
    // Frames first, so that the controls inside them find their parent.
    std::vector<const ControlDesign*> ordered;
    for (const auto& c : design.controls)
        if (c.kind == ControlKind::Frame)
            ordered.push_back(&c);
    for (const auto& c : design.controls)
        if (c.kind != ControlKind::Frame)
            ordered.push_back(&c);

    for (const ControlDesign* c : ordered) {
        QWidget* parent = c->parent.isEmpty() ? client : get<QWidget>(QString(c->parent));
        if (!parent)
            parent = client;
        QObject* object = nullptr;
        if (c->kind == ControlKind::Timer) {
            object = new QTimer(client);
        } else if (c->kind == ControlKind::CommonDialog) {
            object = new QObject(client);
        } else if (QWidget* widget = createWidget(*c, parent)) {
            if (c->kind != ControlKind::Line)
                widget->setGeometry(pixels(c->left), pixels(c->top), pixels(c->width), pixels(c->height));
            widget->setFont(designFont(c->font));
            const bool opaque = !(c->flags & Transparent) && c->kind != ControlKind::Line;
            setColours(widget, c->background, c->foreground, opaque);
            if (c->kind == ControlKind::Label || c->kind == ControlKind::Frame ||
                c->kind == ControlKind::Line || c->kind == ControlKind::PictureBox ||
                c->kind == ControlKind::DataControl)
                widget->setFocusPolicy(Qt::NoFocus);
            // An auto-size label takes the size of its text, an auto-size picture box that of
            // its picture.
            if ((c->flags & AutoSize) &&
                (c->kind == ControlKind::Label || c->kind == ControlKind::PictureBox))
                widget->adjustSize();
            if (c->flags & Hidden)
                widget->setVisible(false);
            object = widget;
        }
        if (object) {
            object->setObjectName(QString(c->name));
            m_controls.insert(QString(c->name), object);
        }
    }

    // Option buttons in one container form one group: one of them is selected, the arrow keys
    // move among them and never into the options of another container, and Tab stops at the
    // selected one only.
    QHash<QWidget*, QButtonGroup*> groups;
    for (const auto& c : design.controls) {
        auto* option = c.kind == ControlKind::OptionButton ? get<QRadioButton>(QString(c.name)) : nullptr;
        if (!option)
            continue;
        QButtonGroup*& group = groups[option->parentWidget()];
        if (!group) {
            group = new QButtonGroup(option->parentWidget());
            QObject::connect(group, &QButtonGroup::buttonToggled, group,
                             [group = group] { tabStopAtSelected(group); });
        }
        group->addButton(option);
    }
    for (QButtonGroup* group : std::as_const(groups))
        tabStopAtSelected(group);

    // The focus order follows the tab column. Only controls that can take the focus are chained:
    // the chain passes over the others, and Qt leaves a link to one of them undone.
    std::vector<const ControlDesign*> tabbed;
    for (const auto& c : design.controls) {
        const auto* widget = get<QWidget>(QString(c.name));
        if (c.tab >= 0 && widget && widget->focusPolicy() != Qt::NoFocus)
            tabbed.push_back(&c);
    }
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const ControlDesign* a, const ControlDesign* b) { return a->tab < b->tab; });
    for (std::size_t i = 1; i < tabbed.size(); ++i)
        QWidget::setTabOrder(get<QWidget>(QString(tabbed[i - 1]->name)),
                             get<QWidget>(QString(tabbed[i]->name)));
    // The window gives the focus to this control when it first becomes active.
    if (QWidget* first = firstFocusable())
        first->setFocus();
}

QObject* DesignedControls::object(QStringView name) const
{
    return m_controls.value(name.toString()).data();
}

void DesignedControls::name(std::span<const ControlName> names) const
{
    for (const ControlName& n : names) {
        auto* control = get<QWidget>(QString(n.control));
        if (!control)
            continue;
        QString text = n.text;
        if (auto* label = get<QLabel>(QString(n.label))) {
            label->setBuddy(control);
            text = label->text().simplified() + text;
        }
        control->setAccessibleName(text);
    }
}

QWidget* DesignedControls::firstFocusable() const
{
    std::vector<const ControlDesign*> tabbed;
    for (const auto& c : m_design)
        if (c.tab >= 0)
            tabbed.push_back(&c);
    std::stable_sort(tabbed.begin(), tabbed.end(),
                     [](const ControlDesign* a, const ControlDesign* b) { return a->tab < b->tab; });
    for (const ControlDesign* c : tabbed) {
        auto* widget = get<QWidget>(QString(c->name));
        if (widget && widget->focusPolicy() != Qt::NoFocus && widget->isEnabled() && !widget->isHidden())
            return widget;
    }
    return nullptr;
}

Qt::WindowFlags fixedDialogFlags()
{
    // Without CustomizeWindowHint the platform may add title-bar buttons of its own.
    return Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
           Qt::WindowCloseButtonHint;
}

QPushButton* commandButton(const QString& caption, const QString& name, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, colours::Beige);
    button->setPalette(palette);
    return button;
}

QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons)
{
    auto* row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton* button : buttons)
        row->addWidget(button);
    return row;
}

QLabel* wrappedCaption(QWidget* parent)
{
    auto* caption = new QLabel(parent);
    caption->setWordWrap(true);
    // Two lines are kept for it, which a wrapped label does not always get from the layout.
    caption->setMinimumHeight(2 * caption->fontMetrics().lineSpacing() + 2);
    return caption;
}

void applyWindowDesign(QWidget* window, QWidget* client, const WindowDesign& design)
{
    window->setObjectName(QString(design.name));
    window->setWindowTitle(design.caption);
    window->setWindowIcon(windowIcon());
    Qt::WindowFlags flags = Qt::Window;
    switch (design.frame) {
    case FrameKind::Sizable:
        flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                 Qt::WindowCloseButtonHint;
        break;
    case FrameKind::FixedDialog:
        flags = fixedDialogFlags();
        break;
    case FrameKind::NoTitleBar:
        flags = Qt::Dialog | Qt::FramelessWindowHint;
        break;
    }
    if (!design.inTaskBar && design.frame == FrameKind::Sizable)
        flags |= Qt::Tool;
    window->setWindowFlags(flags);
    if (design.background.isValid()) {
        QPalette palette = client->palette();
        palette.setColor(QPalette::Window, design.background);
        client->setPalette(palette);
        client->setAutoFillBackground(true);
    }
    const QSize clientSize(pixels(design.clientWidth), pixels(design.clientHeight));
    if (client == window) {
        // The window is its own client area: a sizable one starts at the design's size and
        // can be resized, a fixed one keeps it.
        if (design.frame == FrameKind::Sizable)
            window->resize(clientSize);
        else
            window->setFixedSize(clientSize);
        return;
    }
    client->setFixedSize(clientSize);
    if (design.frame != FrameKind::Sizable)
        window->setFixedSize(window->sizeHint());
}

} // namespace brevik::ui
