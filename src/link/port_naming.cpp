#include "port_naming.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace r7::link {

QString DefaultDeviceForPort(int n) {
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyUSB%1").arg(n - 1);
#endif
}

PortRoute RouteOfPort(int n, const PortDevices& devices) {
    const QByteArray overridden =
        qgetenv(QStringLiteral("MORVANE_R7_COM%1").arg(n).toLatin1().constData());
    if (!overridden.isEmpty()) return {QString::fromLocal8Bit(overridden), PortSource::Environment};
    if (n >= 1 && n <= kPortCount) {
        const QString& chosen = devices[static_cast<std::size_t>(n - 1)];
        if (!chosen.isEmpty()) return {chosen, PortSource::ToolsSettings};
    }
    return {DefaultDeviceForPort(n), PortSource::Default};
}

std::optional<int> PortNumberFromName(const QString& name) {
    static const QRegularExpression kComName(QStringLiteral("^COM([1-8])$"),
                                             QRegularExpression::CaseInsensitiveOption);
    const auto match = kComName.match(name);
    if (!match.hasMatch()) return std::nullopt;
    return match.captured(1).toInt();
}

QString ResolvePortArgument(const QString& argument, const PortDevices& devices,
                            const QString& byIdFolder) {
    if (auto n = PortNumberFromName(argument)) return RouteOfPort(*n, devices).device;
    if (!argument.isEmpty() && !argument.contains(QLatin1Char('/'))) {
        QString byId = QDir(byIdFolder).filePath(argument);
        if (QFileInfo::exists(byId)) return byId;
    }
    return argument;
}

QString StableDeviceName(const QString& systemLocation, const QString& byIdFolder) {
    const QString target = QFileInfo(systemLocation).canonicalFilePath();
    if (target.isEmpty()) return systemLocation;
    const QDir folder(byIdFolder);
    for (const QFileInfo& link : folder.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        if (link.isSymLink() && link.canonicalFilePath() == target) return link.absoluteFilePath();
    }
    return systemLocation;
}

std::vector<DetectedPort> DetectedPorts(const QString& byIdFolder) {
    std::vector<DetectedPort> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        DetectedPort port;
#ifdef Q_OS_WIN
        // "COM12", as Device Manager shows it, rather than "\\.\COM12".
        port.systemLocation = port.device = info.portName();
#else
        port.systemLocation = info.systemLocation();
        port.device = StableDeviceName(port.systemLocation, byIdFolder);
#endif
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier()) port.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier()) port.productId = info.productIdentifier();
        ports.push_back(port);
    }
    return ports;
}

QString DescribePort(const DetectedPort& port) {
    QStringList parts;
    if (!port.description.isEmpty()) parts << port.description;
    if (!port.manufacturer.isEmpty()) parts << port.manufacturer;
    if (port.vendorId && port.productId) {
        parts << QStringLiteral("USB %1:%2")
                     .arg(*port.vendorId, 4, 16, QLatin1Char('0'))
                     .arg(*port.productId, 4, 16, QLatin1Char('0'));
    }
    if (!port.serialNumber.isEmpty()) parts << QStringLiteral("serial ") + port.serialNumber;
    if (port.device != port.systemLocation) parts << port.systemLocation;
    return parts.join(QStringLiteral(", "));
}

bool IsPermissionError(QSerialPort::SerialPortError error) {
    return error == QSerialPort::PermissionError;
}

QString PermissionHint() {
#ifdef Q_OS_WIN
    return QStringLiteral("the port is in use by another program");
#else
    return QStringLiteral(
        "add yourself to the dialout group (sudo usermod -aG dialout $USER), then log in again");
#endif
}

}  // namespace r7::link
