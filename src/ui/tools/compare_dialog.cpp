#include "ui/tools/compare_dialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace r7::ui {

CompareDialog::CompareDialog(const QString& filePath, const std::vector<std::string>& differences,
                             QWidget* parent)
    : QDialog(parent), list_(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("compareDialog"));
    setWindowTitle(tr("Compare with %1").arg(QFileInfo(filePath).fileName()));

    auto* heading = new QLabel(this);
    heading->setObjectName(QStringLiteral("compareHeading"));
    heading->setWordWrap(true);
    heading->setText(differences.empty()
                         ? tr("The editor and %1 hold the same configuration.").arg(filePath)
                         : tr("%n difference(s) between the editor (left) and %1 (right):", nullptr,
                              static_cast<int>(differences.size()))
                               .arg(filePath));

    list_->setObjectName(QStringLiteral("compareList"));
    list_->setAccessibleName(tr("Differences"));
    heading->setBuddy(list_);
    list_->setReadOnly(true);
    list_->setLineWrapMode(QPlainTextEdit::NoWrap);
    list_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QStringList lines;
    for (const std::string& line : differences) lines << QString::fromStdString(line);
    list_->setPlainText(lines.join(QLatin1Char('\n')));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Close"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(list_, 1);
    layout->addWidget(buttons);
    resize(560, 380);
}

}  // namespace r7::ui
