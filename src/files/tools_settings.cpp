#include "files/tools_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>

#include "files/file_lock.h"
#include "files/safe_file_writer.h"
#include "image/setting_lists.h"

namespace r7 {

namespace {

const QString kVerify = QStringLiteral("write/verifyAfterWriting");
const QString kBackup = QStringLiteral("write/backupBeforeWriting");
const QString kBackupFolder = QStringLiteral("write/backupFolder");
const QString kRecent = QStringLiteral("files/recent");

QString PortKey(std::size_t index) { return QStringLiteral("ports/COM%1").arg(index + 1); }

}  // namespace

QString UserConfigFolder() {
    // Named here rather than by the application's name, which only the window sets.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1Char('/') +
           QString::fromUtf8(kApplicationTitle.data(),
                             static_cast<qsizetype>(kApplicationTitle.size()));
}

QString DefaultToolsSettingsPath() {
    // The window's folder, also for the command line tool, so both follow one port mapping.
    return UserConfigFolder() + QStringLiteral("/tools.ini");
}

QString DefaultBackupFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
           QStringLiteral("/backups");
}

ToolsOptions LoadToolsOptions(const QString& path) {
    ToolsOptions options;
    if (path.isEmpty() || !QFileInfo::exists(path)) return options;
    const QSettings ini(path, QSettings::IniFormat);
    options.verifyAfterWriting = ini.value(kVerify, false).toBool();
    options.backupBeforeWriting = ini.value(kBackup, false).toBool();
    options.backupFolder = ini.value(kBackupFolder).toString();
    for (std::size_t i = 0; i < options.portDevices.size(); ++i)
        options.portDevices[i] = ini.value(PortKey(i)).toString();
    return options;
}

namespace {

// QSettings writes its own way; it edits a private copy of what the file holds now, and the
// copy's bytes then go through the one safe writer, keeping keys this version (or this edit)
// does not touch. Other windows wait meanwhile, so none loses another's edit.
FileResult EditIni(const QString& path, const std::function<void(QSettings&)>& edit) {
    const QFileInfo info(path);
    if (path.isEmpty() || !QDir().mkpath(info.absolutePath()))
        return Unexpected(QStringLiteral("cannot create the folder of %1").arg(path));
    FileLock lock(path);
    if (FileResult locked = lock.acquire(); !locked) return locked;
    QTemporaryDir scratch;
    const QString copy = scratch.filePath(QStringLiteral("tools.ini"));
    QSettings::Status status = QSettings::AccessError;
    if (scratch.isValid() && (!info.isFile() || QFile::copy(path, copy))) {
        QSettings ini(copy, QSettings::IniFormat);
        edit(ini);
        ini.sync();
        status = ini.status();
    }
    QFile edited(copy);
    if (status != QSettings::NoError || !edited.open(QIODevice::ReadOnly))
        return Unexpected(QStringLiteral("cannot prepare %1").arg(path));
    return WriteFileSafely(path, edited.readAll());
}

// An empty text leaves the key out, so the default applies.
void SetOrRemove(QSettings& ini, const QString& key, const QString& value) {
    if (value.isEmpty()) {
        ini.remove(key);
    } else {
        ini.setValue(key, value);
    }
}

}  // namespace

FileResult SaveToolsOptions(const QString& path, const ToolsOptions& options,
                            const std::optional<ToolsOptions>& before) {
    const auto changed = [&before, &options](auto member) {
        return !before || (*before).*member != options.*member;
    };
    return EditIni(path, [&](QSettings& ini) {
        if (changed(&ToolsOptions::verifyAfterWriting))
            ini.setValue(kVerify, options.verifyAfterWriting);
        if (changed(&ToolsOptions::backupBeforeWriting))
            ini.setValue(kBackup, options.backupBeforeWriting);
        if (changed(&ToolsOptions::backupFolder))
            SetOrRemove(ini, kBackupFolder, options.backupFolder);
        for (std::size_t i = 0; i < options.portDevices.size(); ++i) {
            if (!before || before->portDevices[i] != options.portDevices[i])
                SetOrRemove(ini, PortKey(i), options.portDevices[i]);
        }
    });
}

QStringList LoadRecentFiles(const QString& path) {
    if (path.isEmpty() || !QFileInfo::exists(path)) return {};
    const QSettings ini(path, QSettings::IniFormat);
    return ini.value(kRecent).toStringList().mid(0, kRecentFileCount);
}

FileResult SaveRecentFiles(const QString& path, const QStringList& files) {
    return EditIni(path, [&files](QSettings& ini) { ini.setValue(kRecent, files); });
}

}  // namespace r7
