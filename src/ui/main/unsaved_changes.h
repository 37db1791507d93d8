#pragma once

// Edits are never thrown away unasked: before Open, a radio read, closing the window (and
// a recent file or a drop) replace an editor holding changes that are neither saved to a
// file nor written to a radio, the user chooses to save, discard or stay.

#include <QObject>

#include "image/image_codec.h"

namespace r7::ui {

class Form1;

class UnsavedChanges : public QObject {
    Q_OBJECT
public:
    explicit UnsavedChanges(Form1& form);

    // True when the editor holds what no file or radio has: its image differs from the one
    // last opened, saved, read, written or started afresh.
    bool hasChanges() const;
    // Asks when there are changes; true when the caller may go on.
    bool settle();

private:
    void markClean();

    Form1& form_;
    ImageBytes clean_{};
    ImageBytes writing_{};  // what the running write sends
};

}  // namespace r7::ui
