#pragma once

#include "platform/formdesign.h"

namespace brevik::ui {

// The main window as it stands when it is created.
[[nodiscard]] const WindowDesign& frmBrevikDesign();
// The names of its fields, lists and bars for a screen reader: the record fields by their
// labels, the others by the caption or text that stands beside them.
[[nodiscard]] std::span<const ControlName> frmBrevikNames();

// Texts of the main window that other code and the tests refer to.
[[nodiscard]] QString frmBrevikProductTitle();
[[nodiscard]] QString frmBrevikInstructions();
[[nodiscard]] QString frmBrevikNote();

} // namespace brevik::ui
