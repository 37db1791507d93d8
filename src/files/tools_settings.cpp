#include "files/tools_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace r7 {

namespace {

const QString kVerify = QStringLiteral("write/verifyAfterWriting");
const QString kBackup = QStringLiteral("write/backupBeforeWriting");
const QString kBackupFolder = QStringLiteral("write/backupFolder");
const QString kRecent = QStringLiteral("files/recent");

}  // namespace

QString DefaultToolsSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/tools.ini");
}

QString DefaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/backups");
}

ToolsOptions LoadToolsOptions(const QString& path) {
    ToolsOptions options;
    if (path.isEmpty() || !QFileInfo::exists(path)) return options;
    const QSettings ini(path, QSettings::IniFormat);
    options.verifyAfterWriting = ini.value(kVerify, false).toBool();
    options.backupBeforeWriting = ini.value(kBackup, false).toBool();
    options.backupFolder = ini.value(kBackupFolder).toString();
    return options;
}

bool SaveToolsOptions(const QString& path, const ToolsOptions& options, QString* error) {
    const QFileInfo info(path);
    if (path.isEmpty() || !QDir().mkpath(info.absolutePath())) {
        if (error) *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(kVerify, options.verifyAfterWriting);
    ini.setValue(kBackup, options.backupBeforeWriting);
    if (options.backupFolder.isEmpty()) {
        ini.remove(kBackupFolder);
    } else {
        ini.setValue(kBackupFolder, options.backupFolder);
    }
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        if (error) *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

QStringList LoadRecentFiles(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) return {};
    const QSettings ini(path, QSettings::IniFormat);
    return ini.value(kRecent).toStringList().mid(0, kRecentFileCount);
}

bool SaveRecentFiles(const QString& path, const QStringList& files, QString* error) {
    if (path.isEmpty() || !QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error) *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QSettings ini(path, QSettings::IniFormat);
    ini.setValue(kRecent, files);
    ini.sync();
    if (ini.status() != QSettings::NoError) {
        if (error) *error = QStringLiteral("cannot write %1").arg(path);
        return false;
    }
    return true;
}

}  // namespace r7
