#pragma once

// The "parameter" file: byte 1 the lock flag, byte 2 the serial port last in use. Read and
// written by byte position; bytes past the second are kept, the file is never truncated.

#include <QString>
#include <optional>

#include "files/file_result.h"

namespace r7 {

inline constexpr char kParameterFileName[] = "parameter";

struct SavedSettings {
    int lockByte = 0;  // 0 when the file has no first byte
    int portByte = 0;  // 0 when the file has no second byte

    // true locked, false unlocked, nothing for any other value (leave the check mark alone).
    std::optional<bool> locked() const;
    // The number to hand to SelectPort (which turns anything outside 1..8 into COM1).
    int port() const { return portByte; }
};

class ParameterFile {
public:
    // folder empty: DefaultFolder().
    explicit ParameterFile(QString folder = {});

    QString path() const;

    // Creates the file empty when it is missing. Never fails: what cannot be read reads as 0.
    SavedSettings Restore() const;
    // Writes bytes 1 and 2 in place. Fails when the file cannot be written; nothing else happens.
    FileResult Store(bool locked, int portNumber) const;

    // The program's folder when it runs from a folder of its own (a build, an unpacked copy)
    // that it may write to; for an installed program, the per-user configuration folder.
    static QString DefaultFolder();
    // Whether `programFolder` is where an installation put the program: under /usr or /opt,
    // or with the installed data folder "../share/morvane-r7" beside it (any prefix).
    static bool IsInstalledFolder(const QString& programFolder);

private:
    QString folder_;
};

}  // namespace r7
