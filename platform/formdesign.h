#pragma once

#include <QColor>
#include <QHash>
#include <QLatin1StringView>
#include <QPointer>
#include <QString>

#include <initializer_list>
#include <span>

class QHBoxLayout;
class QLabel;
class QObject;
class QPushButton;
class QWidget;

namespace brevik::ui {

// Window geometry is given in twips, 15 to a pixel.
inline constexpr int TwipsPerPixel = 15;
[[nodiscard]] constexpr int pixels(int twips)
{
    return (twips + TwipsPerPixel / 2) / TwipsPerPixel;
}

// The kinds of control the windows are built from, with the Qt widget that stands for each.
enum class ControlKind
{
    Label,         // QLabel
    Frame,         // QGroupBox
    OptionButton,  // QRadioButton
    CommandButton, // QPushButton
    TextField,     // QLineEdit
    ListBox,       // TextList
    ProgressBar,   // QProgressBar
    DriveList,     // DriveList
    FolderList,    // FolderList
    PictureBox,    // QLabel showing a picture; AutoSize sizes it to the picture
    Line,          // LineControl; its box gives the two end points
    Timer,         // QTimer (no geometry)
    DataControl,   // DataControlBox: the hidden design-time face of a data control
    CommonDialog,  // a QObject placeholder; the dialogs themselves open when asked for
};

enum ControlFlag : unsigned
{
    NoFlags = 0,
    Hidden = 1u << 0,      // invisible when the window is created
    Centred = 1u << 1,     // caption centred
    Transparent = 1u << 2, // a label that draws no background of its own
    AutoSize = 1u << 3,    // a label that takes the size of its text
    Selected = 1u << 4,    // an option button that starts selected
    NoBorder = 1u << 5,    // a picture box without border
    DefaultButton = 1u << 6,
    CancelButton = 1u << 7,
    ThickLine = 1u << 8, // a line two units wide
};

struct FontDesign
{
    QLatin1StringView face; // empty: the default, MS Sans Serif 8.25 regular
    double points = 8.25;
    bool bold = false;
    bool italic = false;
};

// One row of a window's design table.
struct ControlDesign
{
    QLatin1StringView name; // "Text1(3)" for an element of a control array
    ControlKind kind;
    QLatin1StringView parent; // the frame that holds it; empty for the window itself
    QString caption;          // caption or initial text; for a picture box, a resource path
    int left = 0;             // twips; for a line: x1, y1, x2, y2
    int top = 0;
    int width = 0;
    int height = 0;
    int tab = -1; // position in the focus order; -1 for none
    unsigned flags = NoFlags;
    FontDesign font = {};
    QColor background = {}; // invalid: the platform's default
    QColor foreground = {};
};

enum class FrameKind
{
    Sizable,     // sizable frame with minimise and maximise buttons
    FixedDialog, // fixed dialog frame without minimise and maximise buttons
    NoTitleBar,  // fixed dialog frame without caption or title-bar buttons
};

struct WindowDesign
{
    QLatin1StringView name;
    QString caption;
    FrameKind frame = FrameKind::Sizable;
    bool inTaskBar = true;
    int clientWidth = 0; // twips
    int clientHeight = 0;
    QColor background = {};
    std::span<const ControlDesign> controls;
};

// Colours of the designs.
namespace colours {
inline const QColor Beige(221, 219, 205);
inline const QColor LightCyan(192, 255, 255);
inline const QColor Cyan(128, 255, 255);
inline const QColor Red(255, 0, 0);
inline const QColor Grey(128, 128, 128);
inline const QColor White(255, 255, 255);
inline const QColor Black(0, 0, 0);
} // namespace colours

// The nearest installed face to one the design names: Arial, then the metric twins of it;
// MS Sans Serif, then the nearest sans faces.
[[nodiscard]] QFont designFont(const FontDesign& font);

// The controls of one window, built from its design table and found by their design names.
// What names a control for a screen reader: the label beside it, whose caption becomes the
// control's accessible name and which takes the control as its buddy, or, where no label stands
// beside it, a text of its own (the caption of the button that fills it, say).
struct ControlName
{
    QLatin1StringView control;
    QLatin1StringView label; // empty: the text names it
    QString text;            // added after the label's caption, or the whole name without a label
};

class DesignedControls
{
public:
    // Creates every control of the design as a child of client (or of its frame), and sets
    // the focus order from the tab column.
    void build(QWidget* client, const WindowDesign& design);

    [[nodiscard]] QObject* object(QStringView name) const;
    template<typename T> [[nodiscard]] T* get(QStringView name) const
    {
        return qobject_cast<T*>(object(name));
    }

    // The first control in the focus order that can take the focus now.
    [[nodiscard]] QWidget* firstFocusable() const;

    // Gives the fields, lists and bars their accessible names.
    void name(std::span<const ControlName> names) const;

private:
    QHash<QString, QPointer<QObject>> m_controls;
    std::span<const ControlDesign> m_design;
};

// The frame of the about box and the message boxes: a title and a close button, neither
// minimise nor maximise.
[[nodiscard]] Qt::WindowFlags fixedDialogFlags();

// For the windows laid out by a layout rather than a design table: a command button in the look
// of the designed ones, and a row of such buttons at the right, below the rest.
[[nodiscard]] QPushButton* commandButton(const QString& caption, const QString& name, QWidget* parent);
[[nodiscard]] QHBoxLayout* buttonRow(std::initializer_list<QPushButton*> buttons);
// A caption over such a window's list, wrapped, with room for two lines kept.
[[nodiscard]] QLabel* wrappedCaption(QWidget* parent);

// Gives a top-level window its design: caption, frame, client size, background and icon. The
// window is centred on its screen when it is first shown (see showCentred).
void applyWindowDesign(QWidget* window, QWidget* client, const WindowDesign& design);

} // namespace brevik::ui
