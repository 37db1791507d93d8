#pragma once

// The serial port as the clone protocol needs it: 9600 baud 8N1, every waiting byte
// delivered at once, and a notice when the port fails or disappears.
//
// The original port settings (read interval, read multiplier and read constant 1 ms, write
// multiplier 1 ms, write constant 1000 ms) amount to: hand over received bytes at once,
// never block a write for long. Here QSerialPort buffers writes and sends them from the
// event loop, so the program never waits on a write; the 1000 ms bound applies only when
// the caller flushes (flush()).
//
// A received break condition is not reported: QSerialPort cannot see one portably (POSIX
// delivers it as a NUL byte or not at all, Windows has no Qt hook for EV_BREAK), so the
// session's break handling is fed by nothing here.

#include <QByteArray>
#include <QObject>
#include <QSerialPort>
#include <QString>

#include "port_access.h"
#include "port_timeouts.h"

namespace r7::link {

inline constexpr int kWriteTimeoutMs =
    static_cast<int>(ClonePortTimeouts().WriteTotalTimeoutConstant);  // 1000

class SerialLink : public QObject {
    Q_OBJECT
public:
    explicit SerialLink(QObject* parent = nullptr);

    // Closes whatever is open, then opens the device with the fixed line settings.
    bool open(const QString& device);
    void close();
    bool isOpen() const;
    // The device as open() was given it.
    QString device() const { return device_; }
    // Why the last open failed, in English with the device named; empty after success.
    QString openErrorText() const { return openError_; }
    PortProblem openProblem() const { return openProblem_; }
    bool openFailedForPermission() const { return openProblem_ == PortProblem::Permission; }

    // Throws away every byte received and not yet taken, in the driver and in our buffer.
    void discardInput();
    // The operating system's handle of the open port (a file descriptor on Unix), -1 when closed.
    qintptr nativeHandle() const;

    void send(const QByteArray& bytes);
    // Waits until queued bytes are written, at most timeoutMs; false on time-out or error.
    bool flush(int timeoutMs = kWriteTimeoutMs);

signals:
    void bytesReceived(const QByteArray& bytes);
    // The open port failed (device removed, cable pulled, I/O error); it is closed now.
    void portLost(const QString& reason);

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString device_;
    QString openError_;
    PortProblem openProblem_ = PortProblem::None;
};

}  // namespace r7::link
