#pragma once

#include <QDialog>

#include "image/editor_state.h"

class QTableWidget;

namespace r7::ui {

// Form4 "Test Frequcy": the 16 test frequency pairs in a 17 x 3 grid (row 0 the titles,
// column 0 the numbers). Typed frequencies snap to the raster as soon as the edit ends;
// OK stores the grid, Cancel and the close box store nothing.
class TestFrequencyDialog : public QDialog {
    Q_OBJECT
public:
    explicit TestFrequencyDialog(EditorState& state, QWidget* parent = nullptr);

    QTableWidget* grid() const { return grid_; }

private:
    void cellEdited(int row, int column, const QString& typed);
    void store();

    EditorState& state_;
    QTableWidget* grid_;
};

}  // namespace r7::ui
