#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The main window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmBrevikDesign();

// Texts of the main window that other code and the tests refer to.
[[nodiscard]] QString frmBrevikProductTitle();
[[nodiscard]] QString frmBrevikInstructions();
[[nodiscard]] QString frmBrevikNote();

} // namespace brevik::ui
