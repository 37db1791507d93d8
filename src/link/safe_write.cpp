#include "safe_write.h"

#include "backup_file.h"
#include "image/hex_text.h"

namespace r7::link {

SafeWrite::SafeWrite(TransferController& controller, QObject* parent)
    : QObject(parent), controller_(controller) {
    connect(&controller_, &TransferController::bytesSent, this, [this](const QByteArray& bytes) {
        if (stage_ != SafeWriteStage::Write) return;
        record_.addSentCommand({reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                static_cast<std::size_t>(bytes.size())});
    });
    connect(&controller_, &TransferController::readImageReady, this, [this](const QString& hex) {
        if (stage_ == SafeWriteStage::Backup || stage_ == SafeWriteStage::Verify)
            lastRead_ = hex.toStdString();
    });
    connect(&controller_, &TransferController::transferSucceeded, this, [this] {
        if (running()) onSucceeded();
    });
    connect(&controller_, &TransferController::transferFailed, this, [this] {
        if (running()) onFailed();
    });
    connect(&controller_, &TransferController::transferInterrupted, this, [this] {
        if (running()) onInterrupted(false);
    });
    connect(&controller_, &TransferController::uiRestored, this, [this] { onRestored(); });
}

bool SafeWrite::start(const SafeWriteOptions& options) {
    if (running() || controller_.state() != TransferState::Idle) return false;
    options_ = options;
    record_.clear();
    comparison_ = {};
    interrupted_ = false;
    backupPath_.clear();
    next_ = SafeWriteStage::Idle;
    beginStage(options_.backupDir.isEmpty() ? SafeWriteStage::Write : SafeWriteStage::Backup);
    return true;
}

void SafeWrite::beginStage(SafeWriteStage stage) {
    stage_ = stage;
    lastRead_.clear();
    emit stageStarted(stage);
    const StartResult started = stage == SafeWriteStage::Write
                                    ? controller_.startWrite(options_.serviceUnlocked)
                                    : controller_.startRead();
    if (started == StartResult::Started) return;
    const QString why = started == StartResult::NoPortOpen
                            ? QStringLiteral("the serial port is not open")
                            : QStringLiteral("another transfer is running");
    const bool written = stage == SafeWriteStage::Verify;
    finish(false, written
                      ? QStringLiteral("the radio was written but cannot be read back: %1").arg(why)
                      : QStringLiteral("%1; nothing was written").arg(why));
}

void SafeWrite::onSucceeded() {
    switch (stage_) {
        case SafeWriteStage::Backup: {
            const auto image = ImageOfRead(lastRead_);
            if (!image) {
                finish(false, QStringLiteral(
                                  "the backup read returned no usable image; nothing was written"));
                return;
            }
            const BackupResult saved =
                SaveBackup(options_.backupDir, *image, now_(), options_.radioNumber);
            if (!saved) {
                finish(false, QStringLiteral("the backup failed: %1; nothing was written")
                                  .arg(saved.error()));
                return;
            }
            backupPath_ = *saved;
            emit backupSaved(*saved);
            next_ = SafeWriteStage::Write;
            break;
        }
        case SafeWriteStage::Write:
            if (!options_.verify) {
                finish(true, {});
                return;
            }
            next_ = SafeWriteStage::Verify;
            break;
        case SafeWriteStage::Verify: {
            const auto bytes = FromHexText(lastRead_);
            if (!bytes) {
                finish(false,
                       QStringLiteral("the radio was written but its read-back returned no image"));
                return;
            }
            comparison_ = CompareReadBack(record_, *bytes);
            if (!comparison_.ok()) {
                finish(false, QStringLiteral("verify failed: %1")
                                  .arg(QString::fromStdString(comparison_.text())));
                return;
            }
            emit verified(static_cast<int>(comparison_.compared),
                          static_cast<int>(comparison_.unverifiable));
            finish(true, {});
            return;
        }
        case SafeWriteStage::Idle:
            break;
    }
}

QString SafeWrite::writeOutcome(const char* advice) const {
    const CloneSession& session = controller_.session();
    if (session.writeBlocksAcknowledged() == session.writeBlocksTotal()) return wholeWritten();
    const QString held = controller_.writeProgressText();
    if (held.isEmpty()) return QStringLiteral("nothing was written");
    return held + QLatin1String(advice);
}

QString SafeWrite::wholeWritten() const {
    // Every block acknowledged: nothing to write again, only the read-back may be missing.
    return QStringLiteral("the radio holds the whole new configuration (all %1 blocks)%2")
        .arg(controller_.session().writeBlocksTotal())
        .arg(options_.verify ? QStringLiteral(" but it has not been verified") : QString());
}

void SafeWrite::interrupt() {
    if (!running()) return;
    interrupted_ = true;
    if (controller_.state() == TransferState::Transferring) {
        controller_.interrupt();
        return;
    }
    // Between steps, or during the success blink after End: nothing is on the line, and a
    // write stage that is still current has succeeded.
    onInterrupted(stage_ == SafeWriteStage::Write);
}

void SafeWrite::onInterrupted(bool writeDone) {
    interrupted_ = true;
    if (writeDone || stage_ == SafeWriteStage::Verify) {
        finish(false, QStringLiteral("interrupted: ") + wholeWritten());
    } else if (stage_ == SafeWriteStage::Write) {
        finish(false, QStringLiteral("interrupted: ") + writeOutcome("; write it again"));
    } else {
        finish(false, QStringLiteral("interrupted: nothing was written"));
    }
}

void SafeWrite::onFailed() {
    const QString message = controller_.failureReason();
    switch (stage_) {
        case SafeWriteStage::Backup:
            finish(false,
                   QStringLiteral("the backup read failed: %1; nothing was written").arg(message));
            break;
        case SafeWriteStage::Write:
            finish(false, message + QStringLiteral("; ") +
                              writeOutcome("; its configuration is mixed: write again"));
            break;
        case SafeWriteStage::Verify:
            finish(
                false,
                QStringLiteral("the radio was written but the read-back failed: %1").arg(message));
            break;
        case SafeWriteStage::Idle:
            break;
    }
}

void SafeWrite::onRestored() {
    if (next_ == SafeWriteStage::Idle) return;
    const SafeWriteStage next = next_;
    next_ = SafeWriteStage::Idle;
    // Out of the controller's own tick handler, which is still on the stack.
    QMetaObject::invokeMethod(
        this,
        [this, next] {
            if (running()) beginStage(next);
        },
        Qt::QueuedConnection);
}

void SafeWrite::finish(bool ok, const QString& reason) {
    stage_ = SafeWriteStage::Idle;
    next_ = SafeWriteStage::Idle;
    emit finished(ok, reason);
}

}  // namespace r7::link
