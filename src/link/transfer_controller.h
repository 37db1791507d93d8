#pragma once

// A read or write of the radio on the event loop: the clone session, the serial port and the
// timers Timer1 (watchdog) and Timer2 (busy blink), with one signal per thing the window shows.
// Message boxes are shown by whoever connects messageRequested; a slot that blocks is fine,
// the session goes on when it returns.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>

#include "clone_session.h"
#include "serial_link.h"

namespace r7::link {

class TransferController : public QObject {
    Q_OBJECT
public:
    explicit TransferController(QObject* parent = nullptr);

    SerialLink& link() { return link_; }
    const CloneSession& session() const { return session_; }
    TransferState state() const { return session_.state(); }

    // EncodeImage of the editor, asked for when the radio has identified itself.
    void setImageSource(std::function<std::string()> encodeImage) {
        encodeImage_ = std::move(encodeImage);
    }
    // Timer1's interval; 3000 ms unless a test wants it shorter.
    void setWatchdogInterval(int ms) { timer1_.setInterval(ms); }

    // Why the last transfer failed, in words: the watchdog's text when the radio stopped
    // answering, or that the port went away.
    QString failureReason() const;
    // "the radio holds 16 of the 46 new blocks" for the last write; empty when none reached it.
    QString writeProgressText() const;

public slots:
    // mnureadFre_Click and mnuwriteFre_Click. Bytes already waiting on the port are old
    // replies of someone else's transfer and are thrown away first.
    StartResult startRead();
    StartResult startWrite(int serviceUnlocked);
    // Stops a running transfer the way the protocol ends (End); a write block in flight gets
    // a moment for its reply first. Ends in transferInterrupted().
    void interrupt();
    // Stops at once and waits until End has left the port (the program is ending).
    void abort();

signals:
    void bytesSent(const QByteArray& bytes);
    void busy(r7::link::Command command);  // a transfer started; nothing else may start
    void ready();                          // other commands may start again
    void progressShown(int minimum, int maximum, int value);
    void progressValueChanged(int value);
    void progressHidden();
    void statusCaptionChanged(const QString& caption);
    void statusVisibleChanged(bool visible);
    void messageRequested(const QString& text, r7::link::MessageKind kind);
    void readImageReady(const QString& imageHex);       // 1664 hex digits, for DecodeImage
    void transferSucceeded(r7::link::Command command);  // End has been sent
    void transferFailed();                              // after the message; End has been sent
    void transferInterrupted();                         // stopped on request; End has been sent
    void uiRestored();                                  // the success blink is over
    void writeStarted();  // a write has begun: the programming log follows it

private:
    void apply(const Effect& effect);

    SerialLink link_;
    QTimer timer1_;
    QTimer timer2_;
    QTimer interruptGrace_;
    QString portLoss_;  // why the port went away during this transfer
    std::function<std::string()> encodeImage_;
    CloneSession session_;
};

}  // namespace r7::link
