#pragma once

// Windows on small or scaled screens: a window never opens larger than the screen's free
// area. One whose layout cannot fit there scrolls its contents; one that fits keeps its
// layout exactly as designed.

class QWidget;

namespace r7::ui {

// From now on, every time `window` is shown it is fitted to the free area of its screen.
void KeepOnScreen(QWidget* window);

}  // namespace r7::ui
