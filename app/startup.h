#pragma once

namespace brevik::ui {

// Sets up the application (name, style) and opens the splash window.
void startProgram();

} // namespace brevik::ui
