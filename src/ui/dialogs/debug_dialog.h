#pragma once

#include <QDialog>
#include <functional>

#include "image/editor_state.h"
#include "image/service_mode.h"

class QLabel;
class QSlider;

namespace r7::ui {

class ClickableLabel;

// Form2 "Debug parameter": the transmit power calibration. The sliders move only in
// service mode, which the hidden gesture on three labels switches on: "Minimun" and
// "Biggest" of the High frame, then "Biggest" of the Low frame, in any order, within five
// seconds. OK stores both values; the close box stores nothing.
class DebugParameterDialog : public QDialog {
    Q_OBJECT
public:
    // `onServiceUnlocked` runs each time the gesture completes (the owner shows its "Test"
    // button); `clock` must be monotonic and the same across openings.
    explicit DebugParameterDialog(EditorState& state, QWidget* parent = nullptr,
                                  std::function<void()> onServiceUnlocked = {},
                                  SecondsClock clock = SteadySeconds);

    // The owner's re-lock turns the sliders off without reopening the dialog.
    void setSlidersEnabled(bool enabled);
    // Service mode off while the dialog is open: sliders disabled, ServiceUnlocked 0.
    void lockService();

    QSlider* slider(int n) const { return n == 1 ? slider1_ : slider3_; }
    ClickableLabel* hotSpot(int n) const;

private:
    void store();
    void hotSpotClicked(int n);

    EditorState& state_;
    std::function<void()> onServiceUnlocked_;
    UnlockGesture gesture_;
    QSlider* slider1_;
    QSlider* slider3_;
    QLabel* value1_;
    QLabel* value3_;
    ClickableLabel* hotSpots_[3];
};

}  // namespace r7::ui
