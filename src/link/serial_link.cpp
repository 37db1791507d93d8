#include "serial_link.h"

#include "port_naming.h"

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace r7::link {

namespace {

// A USB serial chip holds a short reply until its latency timer runs out (16 ms on FTDI
// cables), and the protocol waits for some 30 replies per read and 50 per write. Asking the
// driver for low latency makes the FTDI driver set that timer to 1 ms. Devices without the
// request (a pseudo-terminal, most other drivers) refuse it, which changes nothing.
void AskForLowLatency([[maybe_unused]] QSerialPort& port) {
#ifdef Q_OS_LINUX
    const auto fd = static_cast<int>(port.handle());
    serial_struct serial{};
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
    if (ioctl(fd, TIOCGSERIAL, &serial) != 0 || (serial.flags & ASYNC_LOW_LATENCY) != 0) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ioctl(fd, TIOCSSERIAL, &serial);  // NOLINT(cppcoreguidelines-pro-type-vararg)
#endif
}

}  // namespace

SerialLink::SerialLink(QObject* parent) : QObject(parent), port_(this) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialLink::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialLink::onError);
}

bool SerialLink::open(const QString& device) {
    close();
    openError_.clear();
    openProblem_ = PortProblem::None;
    device_ = device;
    port_.setPortName(device);
    port_.setBaudRate(QSerialPort::Baud9600);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) {
        AskForLowLatency(port_);
        return true;
    }
    openProblem_ = ClassifyOpenFailure(device, port_.error());
    openError_ = QStringLiteral("cannot open %1: %2")
                     .arg(device, PortProblemText(openProblem_, device, port_.errorString()));
    port_.clearError();
    return false;
}

void SerialLink::close() {
    if (port_.isOpen()) port_.close();
}

bool SerialLink::isOpen() const { return port_.isOpen(); }

void SerialLink::discardInput() {
    if (!port_.isOpen()) return;
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

qintptr SerialLink::nativeHandle() const {
    if (!port_.isOpen()) return -1;
#ifdef Q_OS_WIN
    return reinterpret_cast<qintptr>(port_.handle());
#else
    return port_.handle();
#endif
}

void SerialLink::send(const QByteArray& bytes) {
    if (port_.isOpen()) port_.write(bytes);
}

bool SerialLink::flush(int timeoutMs) {
    if (!port_.isOpen()) return false;
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(timeoutMs)) return false;
    }
    return true;
}

void SerialLink::onReadyRead() {
    const QByteArray bytes = port_.readAll();
    if (!bytes.isEmpty()) emit bytesReceived(bytes);
}

void SerialLink::onError(QSerialPort::SerialPortError error) {
    // Open failures are reported by open(); time-outs come only from our own flush().
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError || !port_.isOpen())
        return;
    if (error != QSerialPort::ResourceError && error != QSerialPort::ReadError &&
        error != QSerialPort::WriteError && error != QSerialPort::DeviceNotFoundError)
        return;
    const QString reason =
        QStringLiteral("the serial port %1 went away (is the cable unplugged?): %2")
            .arg(device_, port_.errorString());
    port_.clearError();
    port_.close();
    emit portLost(reason);
}

}  // namespace r7::link
