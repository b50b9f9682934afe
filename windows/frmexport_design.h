#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The export-instructions window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmExportDesign();

} // namespace brevik::ui
