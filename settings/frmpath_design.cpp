#include "frmpath_design.h"

#include "platform/drives.h"

namespace brevik::ui {
namespace {

using K = ControlKind;
using L = QLatin1StringView;

} // namespace

const WindowDesign& frmPathDesign()
{
    const FontDesign bold975{{}, 9.75, true};
    const FontDesign bold825{{}, 8.25, true};
    const QColor& beige = colours::Beige;
    const QColor& cyan = colours::LightCyan;
    const QColor& red = colours::Red;
    const QString heading =
        QStringLiteral("Click on Drive. Then Double Click Folder Where Orvella Data Resides "
                       "and where Quick Books Resides. Results are shown below.");
    const QString hint = QStringLiteral("If the location above is correct, click the continue button below.");

    // clang-format off
    static const ControlDesign controls[] = {
    //   name          kind               parent caption                                             left   top  width height tab flags         font     back   fore
        {L("Label2"),  K::Label,          {},    heading,                                             120,  240, 8295,  615,   6, Centred,      bold975, beige},
        {L("Line1"),   K::Line,           {},    QString(),                                           120,  840, 8400,  840,  -1},
        {L("Label1"),  K::Label,          {},    QStringLiteral("Location of Orvella Data"),          720, 1080, 3375,  255,  13, Centred,      bold975, beige, red},
        {L("drvBox"),  K::DriveList,      {},    QString(),                                           720, 1440, 3375,  315,   2, NoFlags,      {},      cyan},
        {L("dirBox"),  K::FolderList,     {},    QString(),                                           720, 1920, 3375, 1215,   3, NoFlags,      {},      cyan},
        {L("Label3"),  K::Label,          {},    QStringLiteral("Location of Orvella Data Folder."),  720, 3360, 3255,  255,   5, Transparent,  bold825},
        {L("Text1"),   K::TextField,      {},    noFolderSelected(),                                  720, 3600, 3375,  285,   0, NoFlags,      bold975, cyan},
        {L("Label4"),  K::Label,          {},    hint,                                                720, 3960, 3255,  375,   4, Transparent,  bold825},
        {L("Label7"),  K::Label,          {},    QStringLiteral("Location of QuickBooks"),           4560, 1080, 3375,  255,  12, Centred,      bold975, beige, red},
        {L("Drive1"),  K::DriveList,      {},    QString(),                                          4560, 1440, 3375,  315,   8, NoFlags,      {},      cyan},
        {L("Dir1"),    K::FolderList,     {},    QString(),                                          4560, 1920, 3375, 1215,   7, NoFlags,      {},      cyan},
        {L("Label5"),  K::Label,          {},    QStringLiteral("Location of Quick Books Folder"),   4560, 3360, 3255,  255,  10, Transparent,  bold825},
        {L("Text2"),   K::TextField,      {},    noFolderSelected(),                                 4560, 3600, 3375,  285,   9, NoFlags,      bold975, cyan},
        {L("Label6"),  K::Label,          {},    hint,                                               4560, 3960, 3255,  375,  11, Transparent,  bold825},
        {L("cmdPath"), K::CommandButton,  {},    QStringLiteral("Continue"),                         3720, 4800, 1215,  495,   1, NoFlags,      bold825, beige},
    };
    // clang-format on
    static const WindowDesign design{L("frmPath"),
                                     QStringLiteral("Location of Orvella OE and QuickBooks Folders"),
                                     FrameKind::Sizable,
                                     true,
                                     8520,
                                     5445,
                                     beige,
                                     controls};
    return design;
}

std::span<const ControlName> frmPathNames()
{
    static const ControlName names[] = {
        {L("drvBox"), L("Label1"), QStringLiteral(": drive")},
        {L("dirBox"), L("Label1"), QStringLiteral(": folder")},
        {L("Text1"), L("Label3"), {}},
        {L("Drive1"), L("Label7"), QStringLiteral(": drive")},
        {L("Dir1"), L("Label7"), QStringLiteral(": folder")},
        {L("Text2"), L("Label5"), {}},
    };
    return names;
}

} // namespace brevik::ui
