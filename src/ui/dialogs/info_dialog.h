#pragma once

#include <QDialog>

#include "image/editor_state.h"

namespace r7::ui {

class FilteredLineEdit;

// Form7 "Insert Information": the two information lines, at most 32 single-byte
// (ISO-8859-1) characters each. OK stores both lines as they stand.
class InsertInformationDialog : public QDialog {
    Q_OBJECT
public:
    explicit InsertInformationDialog(EditorState& state, QWidget* parent = nullptr);

    FilteredLineEdit* line(int n) const { return n == 1 ? text1_ : text2_; }

private:
    void store();

    EditorState& state_;
    FilteredLineEdit* text1_;
    FilteredLineEdit* text2_;
};

}  // namespace r7::ui
