#pragma once

// Ctrl-C, SIGTERM and SIGHUP, for the command line tool and the window alike: the first one
// is handed to the event loop (through a pipe on Unix), so a transfer can end the way the
// protocol ends (End); a second one quits at once, still putting End on the line.

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace r7::link {

class InterruptGuard : public QObject {
    Q_OBJECT
public:
    InterruptGuard();
    ~InterruptGuard() override;
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;

    // The signal that arrived first, 0 while none has.
    static int signalNumber();
    // The open port (a file descriptor on Unix) a second signal writes End to; -1 for none.
    static void setPort(qintptr handle);

signals:
    void interrupted(int signalNumber);

private:
    void deliver();

    QSocketNotifier* notifier_ = nullptr;
    QTimer* poll_ = nullptr;
    bool delivered_ = false;
};

}  // namespace r7::link
