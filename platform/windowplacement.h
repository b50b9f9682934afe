#pragma once

class QWidget;

namespace brevik::ui {

// Shows a window for the first time at the centre of its screen, its frame included. Before a
// window is shown its frame is not known: the window is placed by its own size, so that the window
// manager puts it there from the start, and moved by its frame once the frame is known. A window
// that later changes its size keeps the top it opened with.
void showCentred(QWidget* window);

} // namespace brevik::ui
