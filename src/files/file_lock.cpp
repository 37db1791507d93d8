#include "files/file_lock.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>

namespace r7 {

namespace {

QString LockName(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return (canonical.isEmpty() ? info.absoluteFilePath() : canonical) + QStringLiteral(".lock");
}

}  // namespace

FileLock::FileLock(const QString& path)
    : path_(path), lock_(std::make_unique<QLockFile>(LockName(path))) {
    // Only a holder that has ended leaves a stale lock, however long a save takes.
    lock_->setStaleLockTime(0);
}

FileLock::~FileLock() = default;

FileResult FileLock::acquire(std::chrono::milliseconds wait) {
    if (lock_->tryLock(wait) || lock_->error() != QLockFile::LockFailedError) return {};
    qint64 pid = 0;
    const QString holder = lock_->getLockInfo(&pid, nullptr, nullptr)
                               ? QStringLiteral("process %1").arg(pid)
                               : QStringLiteral("another program");
    return Unexpected(
        QStringLiteral("cannot write %1: %2 is changing it; try again when it has finished")
            .arg(QDir::toNativeSeparators(path_), holder));
}

}  // namespace r7
