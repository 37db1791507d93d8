#include "port_naming.h"

#include <QRegularExpression>

namespace r7::link {

QString DeviceForPort(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    const QByteArray overridden = qgetenv(QStringLiteral("MORVANE_R7_COM%1").arg(n).toLatin1().constData());
    if (!overridden.isEmpty()) return QString::fromLocal8Bit(overridden);
    return QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
#endif
}

std::optional<int> PortNumberFromName(const QString& name) {
    static const QRegularExpression kComName(QStringLiteral("^COM([1-8])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const auto match = kComName.match(name);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toInt();
}

QString ResolvePortArgument(const QString& argument) {
    if (auto n = PortNumberFromName(argument)) return DeviceForPort(*n);
    return argument;
}

bool IsPermissionError(QSerialPort::SerialPortError error) {
    return error == QSerialPort::PermissionError;
}

QString PermissionHint() {
#ifdef Q_OS_WIN
    return QStringLiteral("the port is in use by another program");
#else
    return QStringLiteral("add yourself to the dialout group (sudo usermod -aG dialout $USER), then log in again");
#endif
}

}  // namespace r7::link
