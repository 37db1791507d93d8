#pragma once

// Keyboard and wheel habits of desktop windows: Tab follows the screen, and the wheel
// changes a list or a slider only once the user has put the focus on it.

class QWidget;

namespace r7::ui {

// Lists, sliders and spin boxes under `root` take the focus by click or Tab only; the
// wheel over one without focus is left to whatever holds it (a scrolled window scrolls).
void GuardWheel(QWidget* root);

// Chains the tab order of the focusable widgets under `root` as they stand on the screen:
// row by row from the top, left to right within a row.
void OrderTabsByPosition(QWidget* root);

}  // namespace r7::ui
