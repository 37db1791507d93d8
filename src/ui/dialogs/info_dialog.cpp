#include "info_dialog.h"

#include <QRegularExpressionValidator>

#include "dialog_support.h"
#include "image/key_filters.h"

namespace r7::ui {

InsertInformationDialog::InsertInformationDialog(EditorState& state, QWidget* parent)
    : QDialog(parent), state_(state) {
    SetUpDialog(this, "Form7", "Insert Information", {5970, 2235});

    text1_ = new FilteredLineEdit(InfoLineFilter(), this);
    Place(text1_, "Text1", {360, 360, 5295, 375});
    text2_ = new FilteredLineEdit(InfoLineFilter(), this);
    Place(text2_, "Text2", {360, 960, 5295, 375});
    // The dialog has no labels; screen readers still say which line is which.
    text1_->setAccessibleName("Information line 1");
    text2_->setAccessibleName("Information line 2");
    // What the radio cannot hold is refused as it is typed or pasted, so the lines show
    // exactly what reaches it: single-byte characters (U+00FF is the padding byte), 32 a line.
    for (FilteredLineEdit* box : {text1_, text2_}) {
        box->setMaxLength(static_cast<int>(kInfoLineMaxLength));
        box->setValidator(new QRegularExpressionValidator(
            QRegularExpression(QStringLiteral("[\\x{0}-\\x{FE}]*")), box));
    }
    text1_->setText(QString::fromStdString(state_.InfoTexts[0]));
    text2_->setText(QString::fromStdString(state_.InfoTexts[1]));

    AddOkCancel(this, "OK", {3120, 1680, 1095, 375}, "Cancel", {4560, 1680, 1095, 375},
                [this] { store(); });
}

void InsertInformationDialog::store() {
    // A line nobody edited goes back byte for byte, even text that is not valid UTF-8.
    const QString loaded1 = QString::fromStdString(state_.InfoTexts[0]);
    const QString loaded2 = QString::fromStdString(state_.InfoTexts[1]);
    if (text1_->text() != loaded1) state_.InfoTexts[0] = text1_->text().toStdString();
    if (text2_->text() != loaded2) state_.InfoTexts[1] = text2_->text().toStdString();
}

}  // namespace r7::ui
