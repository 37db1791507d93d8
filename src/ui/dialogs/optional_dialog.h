#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "image/dialog_lists.h"
#include "image/editor_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;

namespace r7::ui {

// Form5 "Optional": the VOX group the user sees, plus the DTMF, scan, PTT ID and radio
// function controls and the DTMF memory grid, which stay hidden yet load and store their
// values like the visible ones. OK stores every control; a control the user left alone
// stores back exactly the text it was loaded from.
class OptionalDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionalDialog(EditorState& state, QWidget* parent = nullptr);

    QTableWidget* memoryGrid() const { return grid_; }

private:
    struct ListBinding {
        const OptionalList* description;
        QComboBox* combo;
        std::string loaded;
        int shown;
    };
    struct TextBinding {
        const OptionalText* description;
        QLineEdit* edit;
        std::string loaded;
    };
    struct CheckBinding {
        const OptionalCheck* description;
        QCheckBox* box;
        std::string loaded;
        bool shown;
    };

    void buildVoxGroup();
    void buildHiddenControls();
    void load();
    void store();

    EditorState& state_;
    std::vector<ListBinding> lists_;
    std::vector<TextBinding> texts_;
    std::vector<CheckBinding> checks_;
    QTableWidget* grid_ = nullptr;
};

}  // namespace r7::ui
