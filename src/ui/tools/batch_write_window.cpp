#include "ui/tools/batch_write_window.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>

#include "image/image_codec.h"
#include "link/clone_session.h"
#include "link/radio_write.h"
#include "link/transfer_controller.h"
#include "ui/dialogs/dialog_support.h"
#include "ui/main/editor_document.h"
#include "ui/main/form1.h"
#include "ui/tools/log_window.h"

namespace r7::ui {

BatchWriteWindow::BatchWriteWindow(Form1& form, link::RadioWrite& radioWrite, LogTools& log,
                                   const ToolsOptions& options)
    : QDialog(&form),
      form_(form),
      radioWrite_(radioWrite),
      log_(log),
      options_(options),
      radioLabel_(new QLabel(this)),
      status_(new QLabel(this)),
      pattern_(new QLineEdit(this)),
      line_(new QComboBox(this)),
      first_(new QSpinBox(this)),
      progress_(new QProgressBar(this)),
      done_(new QListWidget(this)),
      next_(new QPushButton(tr("&Next radio"), this)),
      retry_(new QPushButton(tr("&Try again"), this)),
      skip_(new QPushButton(tr("&Skip"), this)),
      finish_(new QPushButton(tr("&Finish"), this)) {
    setObjectName(QStringLiteral("batchWriteWindow"));
    setWindowTitle(tr("Write many radios"));
    QFont big = radioLabel_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    radioLabel_->setFont(big);
    status_->setWordWrap(true);
    pattern_->setPlaceholderText(tr("e.g. UNIT {n:02}; empty: no numbering"));
    pattern_->setAccessibleName(tr("Number pattern"));
    line_->addItems({tr("Line 1"), tr("Line 2")});
    line_->setAccessibleName(tr("Information line for the number"));
    first_->setRange(0, 999999);
    first_->setValue(1);
    first_->setAccessibleName(tr("First number"));
    progress_->setRange(0, link::kProgressMaximum);
    progress_->setValue(0);
    progress_->setAccessibleName(tr("Progress of the current radio"));
    done_->setAccessibleName(tr("Radios done"));
    next_->setDefault(true);
    next_->setAutoDefault(true);
    for (QPushButton* b : {retry_, skip_, finish_}) b->setAutoDefault(false);

    auto* numbering = new QFormLayout;
    const auto addRow = [&](const QString& caption, QWidget* field) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        numbering->addRow(label, field);
    };
    addRow(tr("N&umber the radios:"), pattern_);
    addRow(tr("In information &line:"), line_);
    addRow(tr("F&irst number:"), first_);
    auto* doneLabel = new QLabel(tr("Radios &done:"), this);
    doneLabel->setBuddy(done_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* b : {next_, retry_, skip_, finish_}) buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(radioLabel_);
    layout->addWidget(status_);
    layout->addLayout(numbering);
    layout->addWidget(progress_);
    layout->addWidget(doneLabel);
    layout->addWidget(done_, 1);
    layout->addLayout(buttons);
    QWidget* const order[] = {pattern_, line_, first_, done_, next_, retry_, skip_, finish_};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

    connect(next_, &QPushButton::clicked, this, &BatchWriteWindow::nextRadio);
    connect(retry_, &QPushButton::clicked, this, &BatchWriteWindow::tryAgain);
    connect(skip_, &QPushButton::clicked, this, &BatchWriteWindow::skipRadio);
    connect(finish_, &QPushButton::clicked, this, &BatchWriteWindow::reject);
    const auto showCaption = [this] { radioLabel_->setText(radioCaption()); };
    connect(pattern_, &QLineEdit::textChanged, this, showCaption);
    connect(line_, &QComboBox::currentIndexChanged, this, showCaption);
    connect(first_, &QSpinBox::valueChanged, this, showCaption);
    link::TransferController* transfer = form.transfer();
    connect(transfer, &link::TransferController::progressShown, progress_,
            [this](int, int, int value) { progress_->setValue(value); });
    connect(transfer, &link::TransferController::progressValueChanged, progress_,
            &QProgressBar::setValue);
    // Between steps and after the success blink the controller is idle again.
    connect(transfer, &link::TransferController::uiRestored, this,
            &BatchWriteWindow::updateButtons);
    connect(transfer, &link::TransferController::transferFailed, this,
            &BatchWriteWindow::updateButtons);
    connect(&radioWrite_, &link::RadioWrite::succeeded, this, [this] { radioFinished(true, {}); });
    connect(&radioWrite_, &link::RadioWrite::failed, this,
            [this](const QString& reason) { radioFinished(false, reason); });

    status_->setText(tr("Connect the first radio, then press Next radio."));
    updateButtons();
    const QScreen* screen = form.screen() ? form.screen() : QGuiApplication::primaryScreen();
    const QSize wanted(520, 520);
    resize(screen ? wanted.boundedTo(screen->availableGeometry().size() * 9 / 10) : wanted);
    next_->setFocus();
}

BatchWriteWindow::~BatchWriteWindow() {
    // What the window writes again comes from the editor as it is.
    EditorDocument* document = form_.document();
    form_.transfer()->setImageSource([document] { return EncodeImage(document->state()); });
    log_.clearBatch();
}

QString BatchWriteWindow::radioCaption() const {
    QString caption = tr("Radio %1").arg(radio_);
    // Before the batch starts, the line its first radio would get.
    const std::optional<RadioNumbering> shown =
        batch_.isEmpty() ? ParseRadioNumbering(pattern_->text().toStdString(),
                                               line_->currentIndex() + 1, first_->value(), nullptr)
                         : numbering_;
    if (shown) caption += QStringLiteral(": ") + Utf8(shown->logText(shown->first + programmed_));
    return caption;
}

std::optional<std::optional<RadioNumbering>> BatchWriteWindow::readNumbering() {
    if (pattern_->text().isEmpty()) return std::optional<RadioNumbering>();
    std::string error;
    auto numbering = ParseRadioNumbering(pattern_->text().toStdString(), line_->currentIndex() + 1,
                                         first_->value(), &error);
    if (numbering) error = numbering->problem(form_.document()->state(), first_->value());
    if (!error.empty()) {
        status_->setText(tr("Nothing has been written: %1").arg(Utf8(error)));
        return std::nullopt;
    }
    return numbering;
}

void BatchWriteWindow::nextRadio() {
    if (running_ || failed_ || !next_->isEnabled()) return;
    if (batch_.isEmpty()) {
        const auto numbering = readNumbering();
        if (!numbering) return;
        numbering_ = *numbering;
        batch_ = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        for (QWidget* w : std::initializer_list<QWidget*>{pattern_, line_, first_})
            w->setEnabled(false);
    }
    startRadio();
}

void BatchWriteWindow::tryAgain() {
    if (!failed_ || running_) return;
    failed_ = false;
    startRadio();
}

void BatchWriteWindow::skipRadio() {
    if (!failed_ || running_) return;
    done_->addItem(tr("Radio %1: skipped").arg(radio_));
    failed_ = false;
    ++radio_;
    status_->setText(tr("Connect radio %1, then press Next radio.").arg(radio_));
    updateButtons();
}

void BatchWriteWindow::startRadio() {
    EditorState state = form_.document()->state();
    QString infoLine;
    if (numbering_) {
        const int number = numbering_->first + programmed_;
        if (!numbering_->apply(state, number)) {
            status_->setText(tr("Radio %1 has not been written: %2")
                                 .arg(radio_)
                                 .arg(Utf8(numbering_->problem(state, number))));
            return;
        }
        infoLine = Utf8(numbering_->logText(number));
    }
    form_.transfer()->setImageSource([state] { return EncodeImage(state); });
    log_.setBatch(batch_, radio_, infoLine);
    link::RadioWriteOptions safe;
    safe.verify = options_.verifyAfterWriting;
    if (options_.backupBeforeWriting) {
        safe.backupDir =
            options_.backupFolder.isEmpty() ? DefaultBackupFolder() : options_.backupFolder;
        QDir().mkpath(safe.backupDir);  // a folder that cannot be made fails the backup step
    }
    safe.radioNumber = radio_;
    safe.serviceUnlocked = state.ServiceUnlocked;
    progress_->setValue(0);
    running_ = true;  // a port that is not open ends the step before start() returns
    radioLabel_->setText(radioCaption());
    status_->setText(tr("Writing radio %1...").arg(radio_));
    updateButtons();
    if (!radioWrite_.start(safe)) {
        running_ = false;
        status_->setText(tr("Another transfer is running; wait for it to end."));
        updateButtons();
    }
}

void BatchWriteWindow::radioFinished(bool ok, const QString& reason) {
    if (!running_) return;
    running_ = false;
    if (ok) {
        ++programmed_;
        done_->addItem(tr("Radio %1: %2")
                           .arg(radio_)
                           .arg(options_.verifyAfterWriting ? QStringLiteral("verified")
                                                            : QStringLiteral("written")));
        ++radio_;
        status_->setText(tr("%1 radios programmed. Connect radio %2, then press Next radio.")
                             .arg(programmed_)
                             .arg(radio_));
    } else {
        failed_ = !closing_;
        done_->addItem(tr("Radio %1: failed: %2").arg(radio_).arg(reason));
        status_->setText(tr("Radio %1 failed: %2\nTry again, or skip it.").arg(radio_).arg(reason));
    }
    done_->scrollToBottom();
    radioLabel_->setText(radioCaption());
    updateButtons();
    if (closing_) QDialog::reject();
}

void BatchWriteWindow::updateButtons() {
    const bool idle = !running_ && form_.transfer()->state() == link::TransferState::Idle;
    next_->setEnabled(idle && !failed_);
    retry_->setEnabled(idle && failed_);
    skip_->setEnabled(idle && failed_);
    finish_->setEnabled(!closing_);
    radioLabel_->setText(radioCaption());
    if (idle && failed_) retry_->setFocus();
    if (idle && !failed_) next_->setFocus();
}

void BatchWriteWindow::reject() {
    if (running_ || radioWrite_.running()) {
        // The protocol ends first (End is sent); the window closes when the radio's step ends.
        closing_ = true;
        status_->setText(tr("Ending the transfer..."));
        radioWrite_.interrupt();
        updateButtons();
        return;
    }
    QDialog::reject();
}

}  // namespace r7::ui
