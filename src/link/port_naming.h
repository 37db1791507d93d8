#pragma once

// Which device a port number of the "Communication(&V)" menu stands for.

#include <QSerialPort>
#include <QString>
#include <optional>

namespace r7::link {

inline constexpr int kPortCount = 8;

// COMn -> "COMn" on Windows; elsewhere $MORVANE_R7_COMn when set, else /dev/ttyUSB(n-1).
QString DeviceForPort(int n);
// "COM3" (any case) -> 3 for 1..8; anything else is not a port number.
std::optional<int> PortNumberFromName(const QString& name);
// "COM1".."COM8" through DeviceForPort, anything else taken as a device path.
QString ResolvePortArgument(const QString& argument);

// The open failed because the user may not use the device (not because it is busy or missing).
bool IsPermissionError(QSerialPort::SerialPortError error);
// One line telling what to do about a permission failure on this platform.
QString PermissionHint();

}  // namespace r7::link
