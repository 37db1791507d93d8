#include "debug_dialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QSlider>
#include <algorithm>
#include <utility>

#include "dialog_support.h"

namespace r7::ui {

namespace {

struct PowerFrame {
    QSlider* slider;
    QLabel* value;
    ClickableLabel* minimum;
    ClickableLabel* biggest;
};

// One calibration frame; names come in the order frame, slider, "Minimun", "Biggest",
// "Present parameter:", value.
PowerFrame MakeFrame(QWidget* parent, const char* const names[6], const QString& caption, int top) {
    auto* frame = new QGroupBox(caption, parent);
    Place(frame, names[0], {240, top, 4815, 1455});
    auto* slider = new QSlider(Qt::Horizontal, frame);
    Place(slider, names[1], {960, 480, 2775, 375});
    slider->setRange(0, 255);
    slider->setSingleStep(1);
    slider->setPageStep(5);
    slider->setTickPosition(QSlider::NoTicks);
    slider->setAccessibleName(caption);
    auto* minimum = new ClickableLabel("Minimun", frame);
    Place(minimum, names[2], {120, 600, 735, 210});
    auto* biggest = new ClickableLabel("Biggest", frame);
    Place(biggest, names[3], {3840, 600, 735, 210});
    auto* present = new ClickableLabel("Present parameter:", frame);
    Place(present, names[4], {600, 960, 2160, 240});
    FitCaption(minimum);
    FitCaption(biggest);
    auto* value = new QLabel("2132", frame);
    Place(value, names[5], {2880, 960, 480, 240});
    return {slider, value, minimum, biggest};
}

}  // namespace

DebugParameterDialog::DebugParameterDialog(EditorState& state, QWidget* parent,
                                           std::function<void()> onServiceUnlocked,
                                           SecondsClock clock)
    : QDialog(parent),
      state_(state),
      onServiceUnlocked_(std::move(onServiceUnlocked)),
      gesture_(std::move(clock)) {
    SetUpDialog(this, "Form2", "Debug parameter", {5355, 4605});

    static const char* const high[6] = {"Frame1", "Slider1", "Label3",
                                        "Label8", "Label9",  "Lblpower1"};
    static const char* const low[6] = {"Frame3", "Slider3", "Label6",
                                       "Label7", "Label10", "Lblpower3"};
    const PowerFrame h = MakeFrame(this, high, "Transmit Power-High", 360);
    const PowerFrame l = MakeFrame(this, low, "Transmit Power-Low", 2160);
    slider1_ = h.slider;
    value1_ = h.value;
    slider3_ = l.slider;
    value3_ = l.value;
    hotSpots_[0] = h.minimum;
    hotSpots_[1] = h.biggest;
    hotSpots_[2] = l.biggest;
    for (int k = 0; k < 3; ++k) {
        connect(hotSpots_[k], &ClickableLabel::clicked, this, [this, k] { hotSpotClicked(k + 1); });
    }

    connect(slider1_, &QSlider::valueChanged, value1_,
            [this](int v) { value1_->setText(QString::number(v)); });
    connect(slider3_, &QSlider::valueChanged, value3_,
            [this](int v) { value3_->setText(QString::number(v)); });

    setSlidersEnabled(state_.ServiceUnlocked == 1);
    slider1_->setValue(state_.PowerHigh);
    value1_->setText(QString::number(slider1_->value()));
    slider3_->setValue(state_.PowerLow);
    value3_->setText(QString::number(slider3_->value()));

    auto* ok = MakeButton(this, "Command1", "OK", {3120, 3840, 1335, 495});
    connect(ok, &QPushButton::clicked, this, [this] {
        store();
        accept();
    });
}

ClickableLabel* DebugParameterDialog::hotSpot(int n) const {
    return (n >= 1 && n <= 3) ? hotSpots_[n - 1] : nullptr;
}

void DebugParameterDialog::setSlidersEnabled(bool enabled) {
    slider1_->setEnabled(enabled);
    slider3_->setEnabled(enabled);
}

void DebugParameterDialog::lockService() {
    state_.ServiceUnlocked = 0;
    setSlidersEnabled(false);
}

void DebugParameterDialog::hotSpotClicked(int n) {
    if (!gesture_.Click(state_, n)) return;
    setSlidersEnabled(true);
    if (onServiceUnlocked_) onServiceUnlocked_();
}

void DebugParameterDialog::store() {
    // A value the slider cannot show (outside 0-255) stays as it was unless it was moved.
    auto keep = [](int stored, int shown) {
        return shown == std::clamp(stored, 0, 255) ? stored : shown;
    };
    state_.PowerHigh = keep(state_.PowerHigh, slider1_->value());
    state_.PowerLow = keep(state_.PowerLow, slider3_->value());
}

}  // namespace r7::ui
