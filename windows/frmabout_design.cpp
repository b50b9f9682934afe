#include "frmabout_design.h"

#include <vector>

namespace brevik::ui {

QString frmAboutTitle()
{
    return QStringLiteral("Korvane's Orvella QuickBooks Interface");
}

QString frmAboutDescription()
{
    return QStringLiteral(
        "The Orvella QuickBooks Interface permits the user to create invoices that print in the normal "
        "format that includes pre-printed invoices. Also, this version creates an/or adds the invoice data "
        "to the Customer Historical Ledger while removing the job from the active Job Log.");
}

QString frmAboutDisclaimer()
{
    return QStringLiteral(
        "This program is protected by copyright. Copying or distributing it, in whole or in part, "
        "without the written permission of its owners is not allowed; any unauthorised copy or "
        "distribution may be pursued under civil and criminal law.");
}

namespace {

using K = ControlKind;
using L = QLatin1StringView;
const FontDesign SansSerif135BoldItalic{L("MS Sans Serif"), 13.5, true, true};
const QColor& beige = colours::Beige;
const QColor& black = colours::Black;

std::vector<ControlDesign> controls()
{
    // A line's box holds its two end points: x1, y1, x2, y2.
    // clang-format off
    return {
    //   name                 kind               parent  caption                                left   top  width height tab  flags                        font                    back        fore
        {L("picIcon"),        K::PictureBox,     {},     QStringLiteral(":/brevik/picicon.png"), 240,  360,  540,  540,   1, NoBorder | AutoSize},
        {L("lblTitle"),       K::Label,          {},     frmAboutTitle(),                       1080,  240, 3885,  825,   5, Transparent,                 SansSerif135BoldItalic, {},         black},
        {L("lblVersion"),     K::Label,          {},     QStringLiteral("lblVersion"),          1080, 1020, 1125,  225,   6, Transparent},
        {L("lblDescription"), K::Label,          {},     frmAboutDescription(),                 1080, 1320, 4485, 1005,   3, NoFlags,                     {},                     beige,      black},
        {L("Line1(1)"),       K::Line,           {},     QString(),                              120, 2445, 5684, 2445,  -1, NoFlags,                     {},                     {},         colours::Grey},
        {L("Line1(0)"),       K::Line,           {},     QString(),                              120, 2460, 5669, 2460,  -1, ThickLine,                   {},                     {},         colours::White},
        {L("lblDisclaimer"),  K::Label,          {},     frmAboutDisclaimer(),                   135, 2640, 4110, 1065,   4, NoFlags,                     {},                     beige,      black},
        {L("cmdOK"),          K::CommandButton,  {},     QStringLiteral("OK"),                  4365, 2760, 1260,  345,   0, DefaultButton | CancelButton, {},                    beige},
        {L("cmdSysInfo"),     K::CommandButton,  {},     QStringLiteral("&System Info..."),     4380, 3195, 1245,  345,   2, NoFlags,                     {},                     beige},
    };
    // clang-format on
}

} // namespace

const WindowDesign& frmAboutDesign()
{
    static const std::vector<ControlDesign> table = controls();
    static const WindowDesign design{
        L("frmAbout"), QStringLiteral("About Importing"), FrameKind::FixedDialog, false, 5820, 3720, beige,
        table};
    return design;
}

} // namespace brevik::ui
