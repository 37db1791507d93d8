#include "key_set_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>

#include "dialog_support.h"
#include "image/dialog_lists.h"

namespace r7::ui {

namespace {

int ShownPosition(int value) {
    const int count = static_cast<int>(KeyFunctionItems().size());
    return (value >= 0 && value < count) ? value : kKeyFunctionOff;
}

QComboBox* MakeKeyList(QWidget* parent, const QString& name, int top, int value) {
    auto* combo = new QComboBox(parent);
    Place(combo, name, {960, top, 3135, 330});
    for (const auto& item : KeyFunctionItems()) combo->addItem(QString::fromStdString(item));
    combo->setCurrentIndex(ShownPosition(value));
    // The key's name is drawn in the picture; screen readers get it from a label of the
    // list, which they read as "labelled by" (a list's own name is its current entry).
    auto* label = new QLabel(name == QLatin1String("Combo1") ? "PF1" : "PF2", parent);
    label->setBuddy(combo);
    label->hide();
    return combo;
}

}  // namespace

RadioSidePicture::RadioSidePicture(QWidget* parent) : QWidget(parent) {}

void RadioSidePicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), Qt::white);
    const QPen outline(Qt::black, 1.2);
    p.setPen(outline);

    // Antenna and body.
    p.setBrush(QColor(70, 70, 70));
    p.drawRoundedRect(QRectF(66, 1, 12, 20), 4, 4);
    p.setBrush(QColor(225, 225, 225));
    p.drawRoundedRect(QRectF(46, 16, 50, 236), 8, 8);
    // Belt clip on the back.
    p.setBrush(QColor(190, 190, 190));
    QPainterPath clip;
    clip.moveTo(96, 40);
    clip.lineTo(106, 44);
    clip.lineTo(108, 170);
    clip.lineTo(96, 178);
    clip.closeSubpath();
    p.drawPath(clip);
    p.drawLine(QPointF(100, 48), QPointF(102, 166));

    // The ribbed key, and below it the two round keys: PF1 red, then PF2.
    p.setBrush(QColor(150, 150, 150));
    p.drawRoundedRect(QRectF(40, 22, 8, 22), 3, 3);
    for (int y = 26; y <= 40; y += 4) p.drawLine(QPointF(41, y), QPointF(47, y));
    p.setBrush(Qt::red);
    p.drawEllipse(QPointF(43, 55), 5, 5);
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QPointF(43, 110), 5, 5);

    p.setPen(Qt::black);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.drawText(QRectF(2, 48, 34, 14), Qt::AlignLeft | Qt::AlignVCenter, "PF1");
    p.drawText(QRectF(2, 103, 34, 14), Qt::AlignLeft | Qt::AlignVCenter, "PF2");
}

KeySetDialog::KeySetDialog(EditorState& state, QWidget* parent) : QDialog(parent), state_(state) {
    SetUpDialog(this, "Form6", "Key Set", {5970, 4050});

    combo1_ = MakeKeyList(this, "Combo1", 780, state_.KeyPF1);
    combo2_ = MakeKeyList(this, "Combo2", 1605, state_.KeyPF2);

    auto* picture = new RadioSidePicture(this);
    Place(picture, "Picture1", {4200, 120, 1695, 3855});

    AddOkCancel(this, "确定", {960, 2880, 1095, 375}, "取消", {2400, 2880, 1095, 375},
                [this] { store(); });
}

void KeySetDialog::store() {
    // The side keys live only in the editor; a value outside the list opened as "OFF" and
    // is stored as what the list shows.
    state_.KeyPF1 = combo1_->currentIndex();
    state_.KeyPF2 = combo2_->currentIndex();
}

}  // namespace r7::ui
