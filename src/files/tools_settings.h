#pragma once

// The options of the "Tools" menu, in an ini file of their own. The "parameter" file keeps
// its two bytes (lock and port) and never learns about these.

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

#include "files/file_result.h"

namespace r7 {

struct ToolsOptions {
    bool verifyAfterWriting = false;
    bool backupBeforeWriting = false;
    QString backupFolder;  // where backups of the radio go; empty: DefaultBackupFolder()
    // The device each of COM1..COM8 opens, chosen in "Serial ports..."; empty: the default.
    std::array<QString, 8> portDevices;

    bool operator==(const ToolsOptions&) const = default;
};

// "<per-user configuration folder>/Morvane-R7": tools.ini, and the "parameter" file of an
// installed program.
QString UserConfigFolder();
// "<UserConfigFolder()>/tools.ini", for the window and the command line tool.
QString DefaultToolsSettingsPath();
// "<per-user data folder>/backups".
QString DefaultBackupFolder();

// A missing or unreadable file gives the defaults (both options off).
ToolsOptions LoadToolsOptions(const QString& path);
// Fails, with the reason, when the file cannot be written. Given what the options were
// before a change, only the options that change are written, over what the file holds now,
// so another window's changes made meanwhile stay.
FileResult SaveToolsOptions(const QString& path, const ToolsOptions& options,
                            const std::optional<ToolsOptions>& before = std::nullopt);

// The files last opened or saved, newest first, kept beside the options in the same file.
inline constexpr int kRecentFileCount = 8;
QStringList LoadRecentFiles(const QString& path);
// Only the list's own entry changes; fails, with the reason, when it cannot be written.
FileResult SaveRecentFiles(const QString& path, const QStringList& files);

}  // namespace r7
