#include "parameter_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/tools_settings.h"

namespace r7 {

std::optional<bool> SavedSettings::locked() const {
    if (lockByte == 1) return true;
    if (lockByte == 0) return false;
    return std::nullopt;
}

ParameterFile::ParameterFile(QString folder)
    : folder_(folder.isEmpty() ? DefaultFolder() : std::move(folder)) {}

QString ParameterFile::DefaultFolder() {
    QString programFolder = QCoreApplication::applicationDirPath();
    const QFileInfo file(QDir(programFolder).filePath(kParameterFileName));
    // An installed program's folder is shared by every user and the package's alone, even
    // when root (sudo for a serial port) could write there.
    if (!programFolder.isEmpty() && !IsInstalledFolder(programFolder) &&
        QFileInfo(programFolder).isWritable() && (!file.exists() || file.isWritable()))
        return programFolder;
    QString config = UserConfigFolder();
    QDir().mkpath(config);
    return config;
}

bool ParameterFile::IsInstalledFolder(const QString& programFolder) {
    const QString folder = QDir::cleanPath(QDir(programFolder).absolutePath());
    for (const QLatin1String system : {QLatin1String("/usr"), QLatin1String("/opt")}) {
        if (folder == system || folder.startsWith(system + QLatin1Char('/'))) return true;
    }
    return QFileInfo(QDir(folder).filePath(QStringLiteral("../share/morvane-r7"))).isDir();
}

QString ParameterFile::path() const { return QDir(folder_).filePath(kParameterFileName); }

SavedSettings ParameterFile::Restore() const {
    QFile file(path());
    SavedSettings settings;
    if (!file.exists()) {
        if (file.open(QIODevice::WriteOnly)) file.close();
        return settings;
    }
    if (!file.open(QIODevice::ReadOnly)) return settings;
    const QByteArray head = file.read(2);
    if (head.size() >= 1) settings.lockByte = static_cast<unsigned char>(head[0]);
    if (head.size() >= 2) settings.portByte = static_cast<unsigned char>(head[1]);
    return settings;
}

FileResult ParameterFile::Store(bool locked, int portNumber) const {
    QFile file(path());
    // ReadWrite without Truncate: bytes past the second stay as they are.
    const char bytes[2] = {static_cast<char>(locked ? 1 : 0), static_cast<char>(portNumber & 0xFF)};
    const bool opened = file.open(QIODevice::ReadWrite);
    const bool written = opened && file.seek(0) && file.write(bytes, 2) == 2;
    if (opened && file.flush() && written) return {};
    return Unexpected(QStringLiteral("cannot write %1: %2").arg(path(), file.errorString()));
}

}  // namespace r7
