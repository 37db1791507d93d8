#include "port_access.h"

#include <QFile>
#include <QFileInfo>

#include "port_naming.h"

#ifdef Q_OS_UNIX
#include <unistd.h>

#include <cerrno>
#include <csignal>
#endif

namespace r7::link {

namespace {

#ifdef Q_OS_UNIX
bool ProcessAlive(qint64 pid) {
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}
#endif

}  // namespace

PortProblem ClassifyOpenFailure(const QString& device, QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::NoError:
            return PortProblem::None;
        case QSerialPort::DeviceNotFoundError:
            return PortProblem::Missing;
        case QSerialPort::PermissionError:
#ifdef Q_OS_UNIX
            // Qt reports a held lock, a device opened exclusively and a forbidden device alike.
            if (::access(QFile::encodeName(device).constData(), R_OK | W_OK) != 0 &&
                errno == EACCES)
                return PortProblem::Permission;
#endif
            return PortProblem::Busy;  // Windows: access denied is a port another program has open
        default:
            return PortProblem::Other;
    }
}

qint64 LockHolder(const QString& device) {
#ifdef Q_OS_UNIX
    QString name =
        device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : QFileInfo(device).fileName();
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    static const char* const kLockFolders[] = {"/var/lock",       "/run/lock",  "/var/spool/locks",
                                               "/var/spool/uucp", "/etc/locks", "/tmp",
                                               "/var/tmp"};
    for (const char* folder : kLockFolders) {
        QFile lock(QLatin1String(folder) + QLatin1String("/LCK..") + name);
        if (!lock.open(QIODevice::ReadOnly)) continue;
        // UUCP locks hold the pid as ten ASCII characters, Qt's as the first line.
        bool ok = false;
        const qint64 pid = lock.readLine(64).trimmed().toLongLong(&ok);
        if (ok && ProcessAlive(pid)) return pid;
    }
#else
    (void)device;
#endif
    return 0;
}

QString PortProblemText(PortProblem problem, const QString& device, const QString& systemText) {
    switch (problem) {
        case PortProblem::None:
            return {};
        case PortProblem::Missing:
            return QStringLiteral("no such device");
        case PortProblem::Busy: {
            const qint64 pid = LockHolder(device);
            return pid > 0 ? QStringLiteral("in use by another program (process %1)").arg(pid)
                           : QStringLiteral("in use by another program");
        }
        case PortProblem::Permission:
            return QStringLiteral("permission denied — ") + PermissionHint();
        case PortProblem::Other:
            break;
    }
    return systemText;
}

}  // namespace r7::link
