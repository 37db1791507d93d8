#include "parameter_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

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
    const QFileInfo info(programFolder);
    const QFileInfo file(QDir(programFolder).filePath(kParameterFileName));
    // Installed programs usually sit in a folder the user cannot write to.
    if (!programFolder.isEmpty() && info.isWritable() && (!file.exists() || file.isWritable()))
        return programFolder;
    QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return config;
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
    if (opened && file.flush() && written) return FileResult::Done();
    return FileResult::Failed(
        QStringLiteral("cannot write %1: %2").arg(path(), file.errorString()));
}

}  // namespace r7
