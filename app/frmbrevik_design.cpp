#include "frmbrevik_design.h"

#include <vector>

namespace brevik::ui {

// Short enough to stand on the one line of Label1(0) in Arial 24 bold.
QString frmBrevikProductTitle()
{
    return QStringLiteral("Orvella QuickBooks Import");
}

QString frmBrevikInstructions()
{
    return QStringLiteral(
        "If you have not yet exported your customers from Quick Books, you must do that before you may "
        "continue. To convert your Quick Books customers, simply identify which file you wish to create and "
        "then click on the Command \"Click to Select Name of Customer File to Open.\"  Once you have "
        "selected "
        "the name of the customer file to open, it will show in the window below and the word START will "
        "appear for you to begin conversion. Customers will then populate the selected Database or Dos text "
        "file.");
}

QString frmBrevikNote()
{
    return QStringLiteral(
        "Note: Because of limitations currently used regarding the length of Phone Number, State and other "
        "fields, please check the import to Orvella for accuracy. In some cases, the phone number or the "
        "City, State or Zip may have been omitted or truncated due to incorrect logic regarding the original "
        "syntax. For example: Fairbanks, Alaska will be truncated to the State of Al (Alabama) rather than "
        "the expected AK.");
}

namespace {

using K = ControlKind;
using L = QLatin1StringView;
const FontDesign Arial24Bold{L("Arial"), 24, true};
const FontDesign Arial9{L("Arial"), 9};
const FontDesign Arial825{L("Arial"), 8.25};
const QColor& beige = colours::Beige;

std::vector<ControlDesign> controls()
{
    const QString versionFrame = QStringLiteral("Identify Current Version of QuickBooks");
    const QString selectFile = QStringLiteral("Click to Select Name of Customer File to Open");
    const QString conversion = QStringLiteral("Conversion of Customers from Quick Books to Orvella...");

    // clang-format off
    std::vector<ControlDesign> c = {
    //   name                kind                parent       caption                                      left   top  width height tab  flags                   font         back
        {L("Label1(0)"),     K::Label,           {},          frmBrevikProductTitle(),                      120,     0, 7575,  495,   0, Centred,                Arial24Bold, beige},
        {L("Frame1"),        K::Frame,           {},          versionFrame,                                2040,   480, 3975,  495,  37, NoFlags,                {},          beige},
        {L("opt2000"),       K::OptionButton,    L("Frame1"), QStringLiteral("V5.0-V2000"),                 600,   210, 1455,  195,  38, Selected,               {},          beige},
        {L("opt2002"),       K::OptionButton,    L("Frame1"), QStringLiteral("V2001-V2005"),               2040,   210, 1695,  195,  39, NoFlags,                {},          beige},
        {L("lblInstruct"),   K::Label,           {},          frmBrevikInstructions(),                      120,   960, 7575, 1095,   5, Transparent,            Arial825},
        {L("optOrv"),        K::OptionButton,    {},          QStringLiteral("Create Orvella Database"),   1800,  2040, 2535,  255,  35, Selected,               {},          beige},
        {L("optDos"),        K::OptionButton,    {},          QStringLiteral("Create Dos Text File"),      4320,  2040, 1815,  255,  36, Hidden,                 {},          beige},
        {L("Command1"),      K::CommandButton,   {},          selectFile,                                  1800,  2280, 4335,  375,   3, NoFlags,                Arial9,      beige},
        {L("txtCustIIF"),    K::TextField,       {},          QString(),                                   1800,  2760, 4335,  375,   4, NoFlags,                {},          colours::Cyan},
        {L("cmdStart"),      K::CommandButton,   {},          QStringLiteral("START"),                     3360,  3240, 1215,  255,   6, Hidden,                 Arial9,      beige},
        {L("lstCust"),       K::ListBox,         {},          QString(),                                   1800,  3600, 4335,  840,   7, Hidden},
        {L("Label2"),        K::Label,           {},          conversion,                                  1800,  4560, 4335,  255,  32, Hidden | Transparent},
        {L("pb1"),           K::ProgressBar,     {},          QString(),                                   1800,  4800, 4335,  255,  31, Hidden},
        {L("Label3"),        K::Label,           {},          frmBrevikNote(),                              240,  5160, 7455, 1215,  33, Hidden | Transparent,   Arial825},
        {L("cmdExit"),       K::CommandButton,   {},          QStringLiteral("EXIT"),                      3360,  6120, 1215,  495,  34, Hidden,                 {},          beige},
        {L("cmdStrip"),      K::CommandButton,   {},          QStringLiteral("STRIP"),                     4320,  6120, 1215,  495,   8, Hidden,                 {},          beige},
        {L("txtHold1"),      K::TextField,       {},          QStringLiteral("txtHold1"),                  4920,  6240, 2895,  285,   1, Hidden},
        {L("txtHold2"),      K::TextField,       {},          QStringLiteral("txtHold2"),                  5040,  6600, 2535,  285,   2, Hidden},
        {L("Data1"),         K::DataControl,     {},          QStringLiteral("Client Table1"),                0,  6120, 4935,  345,  -1, Hidden},
        {L("Data2"),         K::DataControl,     {},          QStringLiteral("CustTable2"),                   0,  6480, 4935,  345,  -1, Hidden},
        {L("Data3"),         K::DataControl,     {},          QStringLiteral("Address Table3"),               0,  6840, 4935,  345,  -1, Hidden},
        {L("Data4"),         K::DataControl,     {},          QStringLiteral("Contact Table4"),               0,  7200, 4935,  345,  -1, Hidden},
        {L("CommonDialog1"), K::CommonDialog,    {},          QString(),                                      0,     0,    0,    0,  -1},
    };
    // clang-format on

    // The customer fields, one row each, 240 twips apart, below the visible area.
    struct RecordRow
    {
        L text;
        int textTab;
        L label;
        const char* caption;
        int labelTab;
    };
    const RecordRow rows[] = {
        {L("Text1(0)"), 19, L("Label1(11)"), "Name", 30},
        {L("Text1(8)"), 11, L("Label1(8)"), "Address1", 22},
        {L("Text1(7)"), 12, L("Label1(7)"), "Address2", 23},
        {L("Text1(6)"), 13, L("Label1(6)"), "Address3", 24},
        {L("Text1(5)"), 14, L("Label1(5)"), "Ctiy", 25},
        {L("Text1(4)"), 15, L("Label1(4)"), "State", 26},
        {L("Text1(3)"), 16, L("Label1(3)"), "Zip", 27},
        {L("Text1(2)"), 17, L("Label1(2)"), "Tax", 28},
        {L("Text1(1)"), 18, L("Label1(1)"), "Credit Limit", 29},
        {L("Text1(9)"), 10, L("Label1(9)"), "Phone", 21},
        {L("Text1(10)"), 9, L("Label1(10)"), "Contact Name", 20},
    };
    int top = 7680;
    for (const RecordRow& row : rows) {
        c.push_back({row.text, K::TextField, {}, QString(), 2160, top, 3135, 285, row.textTab});
        c.push_back(
            {row.label, K::Label, {}, QString::fromLatin1(row.caption), 120, top, 2055, 255, row.labelTab});
        top += 240;
    }
    return c;
}

} // namespace

const WindowDesign& frmBrevikDesign()
{
    static const std::vector<ControlDesign> table = controls();
    static const WindowDesign design{L("frmBrevik"),
                                     QStringLiteral("QuickBooks/Orvella Customer Import"),
                                     FrameKind::Sizable,
                                     true,
                                     7800,
                                     6630,
                                     beige,
                                     table};
    return design;
}

std::span<const ControlName> frmBrevikNames()
{
    static const ControlName names[] = {
        {L("txtCustIIF"), {}, QStringLiteral("Customer File to Import")},
        {L("lstCust"), {}, QStringLiteral("Customers")},
        {L("pb1"), L("Label2"), {}},
        {L("txtHold1"), {}, QStringLiteral("Orvella data folder")},
        {L("txtHold2"), {}, QStringLiteral("QuickBooks folder")},
        {L("Text1(0)"), L("Label1(11)"), {}},
        {L("Text1(1)"), L("Label1(1)"), {}},
        {L("Text1(2)"), L("Label1(2)"), {}},
        {L("Text1(3)"), L("Label1(3)"), {}},
        {L("Text1(4)"), L("Label1(4)"), {}},
        {L("Text1(5)"), L("Label1(5)"), {}},
        {L("Text1(6)"), L("Label1(6)"), {}},
        {L("Text1(7)"), L("Label1(7)"), {}},
        {L("Text1(8)"), L("Label1(8)"), {}},
        {L("Text1(9)"), L("Label1(9)"), {}},
        {L("Text1(10)"), L("Label1(10)"), {}},
    };
    return names;
}

} // namespace brevik::ui
