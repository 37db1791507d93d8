#include "ui/tools/report_window.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "image/setting_lists.h"

namespace r7::ui {

ReportWindow::ReportWindow(const QString& summary, const QString& report, QWidget* parent)
    : QDialog(parent), text_(new QPlainTextEdit(report, this)) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QString::fromUtf8(kApplicationTitle.data(),
                                     static_cast<qsizetype>(kApplicationTitle.size())));
    auto* label = new QLabel(summary, this);
    label->setWordWrap(true);
    text_->setObjectName(QStringLiteral("reportText"));
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setAccessibleName(summary);
    label->setBuddy(text_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(text_, 1);
    layout->addWidget(buttons);

    // As large as the text needs, up to most of the screen; the rest scrolls.
    const QFontMetrics metrics = text_->fontMetrics();
    int widest = 0;
    const QStringList lines = report.split(QLatin1Char('\n'));
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    QSize wanted(widest + 60, static_cast<int>(lines.size()) * metrics.lineSpacing() + 120);
    wanted = wanted.expandedTo(QSize(420, 200));
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        wanted = wanted.boundedTo(room * 4 / 5);
        setMaximumSize(room);
    }
    resize(wanted);
}

}  // namespace r7::ui
