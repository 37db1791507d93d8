#pragma once

// Which device a port number of the "Communication(&V)" menu stands for, and the serial
// ports this computer has.

#include <QSerialPort>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace r7::link {

inline constexpr int kPortCount = 8;

// The device chosen for COM1..COM8 in "Serial ports..." (tools.ini); empty: not chosen.
using PortDevices = std::array<QString, kPortCount>;

// Where Linux keeps names that follow a USB cable from socket to socket.
inline const QString kSerialByIdFolder = QStringLiteral("/dev/serial/by-id");

enum class PortSource { Environment, ToolsSettings, Default };

struct PortRoute {
    QString device;
    PortSource source = PortSource::Default;
};

// COMn leads to the first of: $MORVANE_R7_COMn (a run's own choice, e.g. a simulated radio),
// the device chosen for it in `devices`, and the default: "COMn" on Windows, /dev/ttyUSB(n-1)
// elsewhere.
PortRoute RouteOfPort(int n, const PortDevices& devices);
QString DefaultDeviceForPort(int n);

// "COM3" (any case) -> 3 for 1..8; anything else is not a port number.
std::optional<int> PortNumberFromName(const QString& name);
// COM1..COM8 through RouteOfPort; a bare name found in `byIdFolder`; anything else is taken
// as a device path ("COM12" on Windows).
QString ResolvePortArgument(const QString& argument, const PortDevices& devices,
                            const QString& byIdFolder = kSerialByIdFolder);

// A serial port the system reports now.
struct DetectedPort {
    QString device;          // the name to remember: the by-id link that leads here, if any
    QString systemLocation;  // /dev/ttyUSB0, COM12
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};
std::vector<DetectedPort> DetectedPorts(const QString& byIdFolder = kSerialByIdFolder);
// "FT232R USB UART, FTDI, USB 0403:6001, serial A50285BI": what is known, comma-separated.
QString DescribePort(const DetectedPort& port);
// The link in `byIdFolder` that leads to `systemLocation`, or `systemLocation` when none does.
QString StableDeviceName(const QString& systemLocation,
                         const QString& byIdFolder = kSerialByIdFolder);

// The open failed because the user may not use the device (not because it is busy or missing).
bool IsPermissionError(QSerialPort::SerialPortError error);
// One line telling what to do about a permission failure on this platform.
QString PermissionHint();

}  // namespace r7::link
