#include "test_frequency_dialog.h"

#include <QTableWidget>

#include "dialog_support.h"
#include "image/setting_lists.h"
#include "image/test_frequency_rules.h"

namespace r7::ui {

TestFrequencyDialog::TestFrequencyDialog(EditorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    SetUpDialog(this, "Form4", "Test Frequcy", {4785, 6165});

    grid_ = MakeFixedGrid(this, "mfgrid1", "Pair", kTestFrequencyRows,
                          {"Channel", "Receive", "Transmit"}, {945, 1395, 1305});
    grid_->setAccessibleName("Test frequencies");
    grid_->setGeometry(Twips(480, 240, 3720, 5145));
    grid_->setItemDelegate(new GridEditorDelegate(
        {},
        [this](const QModelIndex& index, const QString& text) {
            cellEdited(index.row() + 1, index.column(), text);
        },
        grid_));
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        grid_->item(row - 1, 0)->setText(QString::fromStdString(ChannelNumberText(row)));
        for (int col = 1; col <= 2; ++col) {
            grid_->item(row - 1, col)
                ->setText(QString::fromStdString(state_.testFrequency(row, col)));
        }
        SetCellEditable(grid_, row - 1, 2, !state_.testFrequency(row, 1).empty());
    }

    AddOkCancel(this, "OK", {1920, 5640, 1095, 375}, "Cancel", {3120, 5640, 1095, 375},
                [this] { store(); });
}

void TestFrequencyDialog::cellEdited(int row, int column, const QString& typed) {
    if (row < 1 || row > kTestFrequencyRows || column < 1 || column > 2) return;
    // The editor opens on every cell the user passes; leaving one unchanged is no edit,
    // so walking across a row never overwrites its transmit frequency.
    if (typed == CellText(grid_, row - 1, column)) return;
    const TestFrequencyPair before{CellText(grid_, row - 1, 1).toStdString(),
                                   CellText(grid_, row - 1, 2).toStdString()};
    const TestFrequencyPair after = ApplyTestFrequencyEdit(before, column, typed.toStdString());
    grid_->item(row - 1, 1)->setText(QString::fromStdString(after.receive));
    grid_->item(row - 1, 2)->setText(QString::fromStdString(after.transmit));
    SetCellEditable(grid_, row - 1, 2, !after.receive.empty());
}

void TestFrequencyDialog::store() {
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        for (int col = 1; col <= 2; ++col) {
            const QString shown = CellText(grid_, row - 1, col);
            // Untouched cells go back exactly as they were loaded.
            if (shown != QString::fromStdString(state_.testFrequency(row, col))) {
                state_.testFrequency(row, col) = shown.toStdString();
            }
        }
    }
}

}  // namespace r7::ui
