#include "write_logger.h"

#include <QFileInfo>

#include "image/hex_text.h"
#include "radio_write.h"
#include "transfer_controller.h"

namespace r7::link {

WriteLogger::WriteLogger(TransferController& controller, QString logPath, QObject* parent)
    : QObject(parent), controller_(controller), logPath_(std::move(logPath)) {
    connect(&controller_, &TransferController::writeStarted, this, [this] {
        if (!sequence_) begin();
        writing_ = true;
        writeBegun_ = true;
    });
    // The identity has been accepted and the image taken: the progress bar appears.
    connect(&controller_, &TransferController::progressShown, this, [this] {
        if (writing_) identified();
    });
    connect(&controller_, &TransferController::transferSucceeded, this, [this](Command command) {
        if (writing_ && command == Command::Write) transferEnded(QStringLiteral("written"));
    });
    connect(&controller_, &TransferController::transferFailed, this, [this] {
        if (!writing_) return;
        const QString held = controller_.writeProgressText();
        transferEnded(QStringLiteral("failed: ") + controller_.failureReason() +
                      (held.isEmpty() ? QString() : QStringLiteral("; ") + held));
    });
    connect(&controller_, &TransferController::transferInterrupted, this, [this] {
        if (writing_) transferEnded(interruptedOutcome());
    });
}

void WriteLogger::follow(RadioWrite* radioWrite) {
    radioWrite_ = radioWrite;
    connect(radioWrite, &RadioWrite::stageStarted, this, [this] {
        if (sequence_) return;
        begin();
        sequence_ = !current_.writeAlone;
    });
    connect(radioWrite, &RadioWrite::verified, this, [this](int compared, int unverifiable) {
        verifiedBytes_ = compared;
        unverifiable_ = unverifiable;
    });
    connect(radioWrite, &RadioWrite::succeeded, this, [this] { sequenceEnded(true, {}); });
    connect(radioWrite, &RadioWrite::failed, this,
            [this](const QString& reason) { sequenceEnded(false, reason); });
}

void WriteLogger::begin() {
    current_ = context_ ? context_() : WriteContext{};
    entry_ = LogEntry{};
    entry_.time = now_();
    entry_.port = controller_.link().device();
    entry_.file = current_.file.isEmpty() ? NotSavedName() : QFileInfo(current_.file).fileName();
    entry_.batch = current_.batch;
    entry_.radio = current_.radio;
    entry_.infoLine = current_.infoLine;
    entry_.verify = current_.verifyAsked ? QString() : QStringLiteral("not asked");
    verifiedBytes_ = -1;
    writeBegun_ = false;
}

QString WriteLogger::interruptedOutcome() const {
    const CloneSession& session = controller_.session();
    return QStringLiteral("interrupted: %1 of %2 blocks")
        .arg(writeBegun_ ? session.writeBlocksAcknowledged() : 0)
        .arg(session.writeBlocksTotal());
}

void WriteLogger::identified() {
    const std::vector<std::uint8_t>& id = controller_.session().identity();
    entry_.identity =
        IdentityText(QByteArray(reinterpret_cast<const char*>(id.data()), std::ssize(id)));
    if (const auto image = FromHexText(controller_.session().WriteImage())) {
        entry_.fingerprint = ImageFingerprint(
            QByteArray(reinterpret_cast<const char*>(image->data()), std::ssize(*image)));
    }
}

void WriteLogger::transferEnded(const QString& outcome) {
    writing_ = false;
    entry_.outcome = outcome;
    if (!sequence_) append();
}

void WriteLogger::sequenceEnded(bool ok, const QString& reason) {
    if (!sequence_) return;
    // The sequence hears of the transfer's end before this logger does.
    sequence_ = false;
    writing_ = false;
    entry_.backup = radioWrite_->backupPath();
    if (ok) {
        entry_.outcome =
            current_.verifyAsked ? QStringLiteral("verified") : QStringLiteral("written");
        if (current_.verifyAsked) {
            entry_.verify = QStringLiteral("%1 bytes match, %2 cannot be read back")
                                .arg(verifiedBytes_)
                                .arg(unverifiable_);
        }
    } else if (radioWrite_->interrupted()) {
        entry_.outcome = interruptedOutcome();
    } else {
        // The reason says which step failed and whether the radio was written.
        entry_.outcome = QStringLiteral("failed: ") + reason;
    }
    if (!ok && current_.verifyAsked) {
        entry_.verify =
            reason.startsWith(QLatin1String("verify failed")) ? reason : QStringLiteral("not done");
    }
    append();
}

void WriteLogger::append() {
    const FileResult appended = AppendLogEntry(logPath_, entry_);
    if (!appended) {
        emit appendFailed(appended.error());
        return;
    }
    emit logged(entry_);
}

}  // namespace r7::link
