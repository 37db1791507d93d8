#include "about_dialog.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <utility>

#include "dialog_support.h"
#include "image/setting_lists.h"
#include "image/version_text.h"

namespace r7::ui {

namespace {

// A small handheld radio for the corner of the box.
QPixmap RadioIcon() {
    QPixmap pm(32, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(QColor(60, 60, 60));
    p.drawRoundedRect(QRectF(20, 1, 5, 14), 2, 2);
    p.setBrush(QColor(40, 90, 160));
    p.drawRoundedRect(QRectF(6, 12, 22, 34), 4, 4);
    p.setBrush(QColor(200, 230, 200));
    p.drawRect(QRectF(10, 17, 14, 8));
    p.setBrush(QColor(220, 220, 220));
    for (int y = 30; y <= 40; y += 5) {
        for (int x = 10; x <= 20; x += 5) p.drawRect(QRectF(x, y, 3, 3));
    }
    return pm;
}

// Radio waves, the program's emblem.
QPixmap WavesPicture() {
    QPixmap pm(48, 48);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(200, 40, 40));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(10, 38), 4, 4);
    p.setBrush(Qt::NoBrush);
    for (int r = 12; r <= 36; r += 12) {
        p.setPen(QPen(QColor(200, 40, 40), 3));
        p.drawArc(QRectF(10 - r, 38 - r, 2 * r, 2 * r), 0, 90 * 16);
    }
    return pm;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text, QRect twips) {
    auto* label = new QLabel(text, parent);
    Place(label, name, twips);
    return label;
}

QFrame* MakeLine(QWidget* parent, const QString& name, QRect twips) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    Place(line, name, twips);
    return line;
}

}  // namespace

void OpenWithDesktop(const QUrl& url) { QDesktopServices::openUrl(url); }

AboutDialog::AboutDialog(QWidget* parent, OpenUrlFunction openUrl)
    : QDialog(parent), openUrl_(std::move(openUrl)) {
    const QString title = QString::fromUtf8(kApplicationTitle.data(),
                                            static_cast<qsizetype>(kApplicationTitle.size()));
    SetUpDialog(this, "frmAbout", "About " + title, {5730, 3600});

    auto* icon = MakeLabel(this, "picIcon", {}, {240, 240, 540, 720});
    icon->setPixmap(RadioIcon());
    auto* waves = MakeLabel(this, "picLogo", {}, {4800, 240, 720, 720});
    waves->setPixmap(WavesPicture());

    auto* lblTitle = MakeLabel(this, "lblTitle", title, {1050, 240, 3600, 480});
    QFont big = lblTitle->font();
    big.setPixelSize(20);
    big.setBold(true);
    lblTitle->setFont(big);
    MakeLabel(this, "lblVersion",
              QString::fromStdString(
                  AboutVersionText(R7_VERSION_MAJOR, R7_VERSION_MINOR, R7_VERSION_PATCH)),
              {1050, 780, 3600, 300});

    MakeLine(this, "Line1", {120, 1200, 5490, 30});
    description_ =
        new ClickableLabel("本软件由 Morvane 对讲机软件组开发。点击此处访问网站。", this);
    Place(description_, "lblDescription", {240, 1380, 5250, 600});
    description_->setWordWrap(true);
    description_->setCursor(Qt::PointingHandCursor);
    description_->setToolTip(kMakerWebAddress);
    connect(description_, &ClickableLabel::clicked, this, [this] {
        if (openUrl_) openUrl_(QUrl(kMakerWebAddress));
    });
    MakeLabel(this, "Label2", "发布：2010.03", {240, 2100, 3000, 300});
    MakeLine(this, "Line2", {120, 2520, 5490, 30});

    auto* ok = MakeButton(this, "cmdOK", "确定", {4200, 2880, 1260, 420});
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace r7::ui
