#pragma once

// Keeps two copies of this program (windows, command line runs) from changing one file at
// the same time: whoever reads a file to write it back holds "NAME.lock" beside it, which
// names the holder's process. A lock left by a process that has ended is taken over.

#include <QString>
#include <chrono>
#include <memory>

#include "files/file_result.h"

class QLockFile;

namespace r7 {

// Long enough for another run's whole read, change and write; short enough to wait for.
inline constexpr std::chrono::milliseconds kFileLockWait{3000};

class FileLock {
public:
    // `path` is the file to be changed (a link locks the file it points at).
    explicit FileLock(const QString& path);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits up to `wait` while another process holds the file; fails naming that process. A
    // folder where no lock can be made is not an error here: nobody else can lock there
    // either, and the write itself says why it fails.
    FileResult acquire(std::chrono::milliseconds wait = kFileLockWait);

private:
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace r7
