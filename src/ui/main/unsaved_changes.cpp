#include "ui/main/unsaved_changes.h"

#include "link/transfer_controller.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/main/message_box.h"

namespace r7::ui {

namespace {

constexpr unsigned kYesNoCancelExclamation = YesNoCancel | IconExclamation;

}  // namespace

UnsavedChanges::UnsavedChanges(Form1& form) : QObject(&form), form_(form) {
    markClean();
    EditorDocument* document = form.document();
    // New, a band change, a file or a radio read begin another configuration.
    connect(document, &EditorDocument::historyCleared, this, &UnsavedChanges::markClean);
    connect(&form, &Form1::fileSaved, this, &UnsavedChanges::markClean);
    // A write sends the editor as it stood at its start; only that is in the radio.
    link::TransferController* transfer = form.transfer();
    connect(transfer, &link::TransferController::writeStarted, this,
            [this] { writing_ = EncodeImageBytes(form_.document()->state()); });
    connect(transfer, &link::TransferController::transferSucceeded, this,
            [this](link::Command command) {
                if (command == link::Command::Write) clean_ = writing_;
            });
}

void UnsavedChanges::markClean() { clean_ = EncodeImageBytes(form_.document()->state()); }

bool UnsavedChanges::hasChanges() const {
    return EncodeImageBytes(form_.document()->state()) != clean_;
}

bool UnsavedChanges::settle() {
    if (!hasChanges()) return true;
    const int answer = form_.environment().showMessage(
        tr("The configuration has changes that are neither saved to a file nor written to a "
           "radio.\n\n"
           "Yes: save them to a file first\nNo: discard them\nCancel: go back to them"),
        kYesNoCancelExclamation);
    if (answer == kResultNo) return true;
    if (answer == kResultYes) return form_.save();
    return false;
}

}  // namespace r7::ui
