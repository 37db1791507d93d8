#pragma once

// Keeps the programming log: one line for every write to a radio that a TransferController
// runs, plain or inside a RadioWrite (then the line waits for the read-back and names the
// backup). What the controller cannot know (the file, the batch, the radio's number, its
// numbered information line) comes from the owner's context when the write begins.

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>

#include "files/programming_log.h"

namespace r7::link {

class RadioWrite;
class TransferController;

struct WriteContext {
    QString file;      // the data file's path, or empty when never saved
    QString batch;     // the batch's start, "" for a single write
    int radio = 0;     // number in the batch
    QString infoLine;  // "line 2: UNIT 07" when the batch numbers radios
    bool verifyAsked = false;
    bool writeAlone = false;  // neither backup nor read-back: the line is the transfer's
};

class WriteLogger : public QObject {
    Q_OBJECT
public:
    WriteLogger(TransferController& controller, QString logPath, QObject* parent = nullptr);

    // Writes run by `radioWrite` give their line when the sequence ends.
    void follow(RadioWrite* radioWrite);
    void setContextSource(std::function<WriteContext()> source) { context_ = std::move(source); }
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }
    QString logPath() const { return logPath_; }

signals:
    void logged(const r7::LogEntry& entry);
    // The radio was written (or not) as the entry says; only its line is missing from the log.
    void appendFailed(const QString& reason);

private:
    void begin();
    void identified();
    void transferEnded(const QString& outcome);
    void sequenceEnded(bool ok, const QString& reason);
    void append();
    QString interruptedOutcome() const;

    TransferController& controller_;
    QString logPath_;
    RadioWrite* radioWrite_ = nullptr;
    std::function<WriteContext()> context_;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
    WriteContext current_;
    LogEntry entry_;
    bool writing_ = false;     // a write transfer of ours is under way
    bool sequence_ = false;    // a RadioWrite sequence is under way
    bool writeBegun_ = false;  // this line's write transfer has started
    int verifiedBytes_ = -1;
    int unverifiable_ = 0;
};

}  // namespace r7::link
