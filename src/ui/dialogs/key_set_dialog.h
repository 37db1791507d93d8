#pragma once

#include <QDialog>
#include <QWidget>

#include "image/editor_state.h"

class QComboBox;

namespace r7::ui {

// The radio seen from its side: belt clip, the ribbed key and the two round side keys.
class RadioSidePicture : public QWidget {
    Q_OBJECT
public:
    explicit RadioSidePicture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Form6 "Key Set": the functions of the side keys PF1 and PF2.
class KeySetDialog : public QDialog {
    Q_OBJECT
public:
    explicit KeySetDialog(EditorState& state, QWidget* parent = nullptr);

    QComboBox* keyList(int n) const { return n == 1 ? combo1_ : combo2_; }

private:
    void store();

    EditorState& state_;
    QComboBox* combo1_;
    QComboBox* combo2_;
};

}  // namespace r7::ui
