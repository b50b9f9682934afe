#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The about box as it stands when it is created.
[[nodiscard]] const WindowDesign& frmAboutDesign();

// Texts of the about box.
[[nodiscard]] QString frmAboutTitle();
[[nodiscard]] QString frmAboutDescription();
[[nodiscard]] QString frmAboutDisclaimer();

} // namespace brevik::ui
