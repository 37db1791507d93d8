#pragma once

// Why a serial device could not be opened, told apart where the system lets us: another
// program holds it, or the user may not use it. The two need different remedies.

#include <QSerialPort>
#include <QString>

namespace r7::link {

enum class PortProblem { None, Missing, Busy, Permission, Other };

// What QSerialPort's error means for this device.
PortProblem ClassifyOpenFailure(const QString& device, QSerialPort::SerialPortError error);

// The live process a lock file names for the device (LCK..ttyUSB0 in /var/lock and the other
// usual folders); 0 when no lock file tells.
qint64 LockHolder(const QString& device);

// "in use by another program (process 1234)", "permission denied; add yourself ...", ...
QString PortProblemText(PortProblem problem, const QString& device, const QString& systemText);

}  // namespace r7::link
