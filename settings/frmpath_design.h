#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The folder-settings window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmPathDesign();
// The names of its fields and lists for a screen reader, from the labels of their columns.
[[nodiscard]] std::span<const ControlName> frmPathNames();

} // namespace brevik::ui
