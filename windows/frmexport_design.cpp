#include "frmexport_design.h"

namespace brevik::ui {
namespace {

using K = ControlKind;
using L = QLatin1StringView;
const FontDesign SansSerif24Bold{L("MS Sans Serif"), 24, true};

// clang-format off
const ControlDesign controls[] = {
//   name                kind              parent  caption                                  left   top  width height tab  flags    font
    {L("lblExport"),     K::Label,         {},     QStringLiteral("Instructions"),           120,  120, 4455,  495,   0, Centred, SansSerif24Bold},
    {L("lblInstruct"),   K::Label,         {},     QStringLiteral("lblInstruct"),            240,  720, 4335, 2295,   1},
    {L("cmdPrint"),      K::CommandButton, {},     QStringLiteral("Print Instructions"),    1200, 3120, 2295,  375,   2},
    {L("CommonDialog1"), K::CommonDialog,  {},     QString(),                                  0,    0,    0,    0,  -1},
};
// clang-format on

} // namespace

const WindowDesign& frmExportDesign()
{
    static const WindowDesign design{L("frmExport"),
                                     QStringLiteral("Exporting Customers from QuickBooks"),
                                     FrameKind::Sizable,
                                     true,
                                     4680,
                                     3555,
                                     QColor(),
                                     controls};
    return design;
}

} // namespace brevik::ui
