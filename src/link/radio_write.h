#pragma once

// The write to a radio, on one TransferController, with its two options: first a backup read
// saved as a data file, then the write, then a read-back compared with what was written.
// Each step is an ordinary transfer of the controller, so the window shows it as usual
// (captions, progress, the watchdog's message); between steps the sequencer waits until the
// controller is back to idle after its success blink, which also gives the radio time to
// leave clone mode.
//
// A read returns image offsets 000-33F only: written bytes at 340-34F cannot be read back and
// are counted as unverifiable, never as verified.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "read_back.h"
#include "transfer_controller.h"

namespace r7::link {

struct RadioWriteOptions {
    bool verify = false;
    QString backupDir;        // empty: no backup
    int radioNumber = 0;      // non-zero: backup names carry it (batch programming)
    int serviceUnlocked = 0;  // as for TransferController::startWrite
};

enum class RadioWriteStage { Idle, Backup, Write, Verify };

class RadioWrite : public QObject {
    Q_OBJECT
public:
    // The controller must outlive the sequencer; its port is opened by the caller and its
    // image source supplies what is written.
    explicit RadioWrite(TransferController& controller, QObject* parent = nullptr);

    // Starts the first step. false (and nothing started) when a sequence or a transfer is
    // already running; a port that is not open ends in failed(...) like any step.
    bool start(const RadioWriteOptions& options);

    bool running() const { return stage_ != RadioWriteStage::Idle; }
    // Stops the sequence the way the protocol ends: the transfer under way is interrupted,
    // or, between steps, nothing more starts. Ends in failed(...) with interrupted().
    void interrupt();
    // The last sequence ended because it was interrupted.
    bool interrupted() const { return interrupted_; }
    RadioWriteStage stage() const { return stage_; }
    QString backupPath() const { return backupPath_; }
    const ReadBackComparison& comparison() const { return comparison_; }

    // The time stamp of backup names; tests inject a fixed one.
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

signals:
    void stageStarted(r7::link::RadioWriteStage stage);
    void backupSaved(const QString& path);
    // After a good read-back: bytes compared, and written bytes a read cannot return.
    void verified(int compared, int unverifiable);
    // The end of the sequence: every step done, or one English sentence that names the step
    // that failed and whether the radio was written.
    void succeeded();
    void failed(const QString& reason);

private:
    void beginStage(RadioWriteStage stage);
    void onSucceeded();
    void onFailed();
    void onInterrupted(bool writeDone);
    // What the radio holds after a write stopped halfway, for the end of a reason.
    QString writeOutcome(const char* advice) const;
    // That the whole image reached the radio, and whether it was verified.
    QString wholeWritten() const;
    void onRestored();
    void fail(const QString& reason);
    void succeed();

    TransferController& controller_;
    RadioWriteOptions options_;
    RadioWriteStage stage_ = RadioWriteStage::Idle;
    RadioWriteStage next_ = RadioWriteStage::Idle;  // begun once the controller is idle again
    WriteRecord record_;
    ReadBackComparison comparison_;
    std::string lastRead_;
    bool interrupted_ = false;
    QString backupPath_;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace r7::link
