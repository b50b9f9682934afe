#pragma once

#include <functional>

namespace brevik::ui {

// Sounds the system beep. Tests count the beeps through a function of their own; an empty
// function restores the system beep.
void beep();
void setBeepHook(std::function<void()> hook);

} // namespace brevik::ui
