#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The folder-settings window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmPathDesign();

} // namespace brevik::ui
