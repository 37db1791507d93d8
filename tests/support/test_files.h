#pragma once

// Reading and writing the files a test works on.

#include <QFile>

#ifdef Q_OS_UNIX
#include <sys/resource.h>

#include <csignal>
#endif

namespace r7::test {

// A file's bytes; empty when it cannot be read.
inline QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

#ifdef Q_OS_UNIX
// While it lives, files of this process and its children may grow to `bytes` at most, and
// SIGXFSZ is ignored, as after `trap '' XFSZ; ulimit -f`: a write past it fails with EFBIG.
struct FileSizeLimit {
    rlimit saved{};
    void (*previous)(int) = std::signal(SIGXFSZ, SIG_IGN);
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit cut{bytes, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &cut);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previous);
    }
};
#endif

}  // namespace r7::test
