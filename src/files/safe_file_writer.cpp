#include "files/safe_file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace r7 {

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

FileWriteResult Failed(const QString& path, const QString& reason) {
    return {FileResult::Failed(QStringLiteral("cannot write %1: %2").arg(Native(path), reason))};
}

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Writes everything, then pushes it out of the system's cache, so that a full disk or a size
// limit shows here and not after the file has taken the name. The reason of the failure, or
// an empty text.
QString WriteAll(QFile& file, const QByteArray& contents) {
#ifdef Q_OS_UNIX
    // Straight to the system: after a short write Qt reports "No space left on device" whatever
    // happened, while the next write gives the real reason (e.g. "File too large").
    const char* at = contents.constData();
    auto left = static_cast<std::size_t>(contents.size());
    while (left > 0) {
        const ssize_t n = ::write(file.handle(), at, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? SystemReason() : QStringLiteral("nothing could be written");
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    // A device or FIFO cannot be synced and need not be (EINVAL).
    if (::fsync(file.handle()) != 0 && errno != EINVAL) return SystemReason();
#else
    if (file.write(contents) != contents.size() || !file.flush()) return file.errorString();
#ifdef Q_OS_WIN
    if (::_commit(file.handle()) != 0) return SystemReason();
#endif
#endif
    return {};
}

FileWriteResult WriteInPlace(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failed(path, file.errorString());
    if (const QString reason = WriteAll(file, contents); !reason.isEmpty())
        return Failed(path, reason);
    return {FileResult::Done()};
}

std::filesystem::path FsPath(const QString& path) {
#ifdef Q_OS_WIN
    return {path.toStdWString()};
#else
    return {QFile::encodeName(path).toStdString()};
#endif
}

}  // namespace

FileWriteResult WriteFileSafely(const QString& path, const QByteArray& contents,
                                Overwrite overwrite) {
    QFileInfo target(path);
    if (target.exists()) {
        if (overwrite == Overwrite::Never) {
            return {FileResult::Failed(QStringLiteral("%1 already exists").arg(Native(path))),
                    true};
        }
        if (target.isDir()) return Failed(path, QStringLiteral("it is a folder"));
        if (!target.isFile()) return WriteInPlace(path, contents);
        // A link stays a link: the file it points at is the one replaced.
        if (target.isSymLink()) target = QFileInfo(target.canonicalFilePath());
    }
    const QString folder = target.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return Failed(path, QStringLiteral("the folder %1 does not exist").arg(Native(folder)));
    }

    QTemporaryFile part(QDir(folder).filePath(target.fileName() + QStringLiteral(".XXXXXX.part")));
    if (!part.open()) {
        return Failed(path, QStringLiteral("cannot create a file in %1: %2")
                                .arg(Native(folder), part.errorString()));
    }
    if (const QString reason = WriteAll(part, contents); !reason.isEmpty()) {
        return Failed(path, reason);  // the part removes itself
    }
    // The new file keeps the old one's permissions; a new one gets the usual rw-r--r--.
    part.setPermissions(target.exists() ? QFile::permissions(target.filePath())
                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ReadOther);
    part.close();
    if (part.error() != QFileDevice::NoError) return Failed(path, part.errorString());

    if (overwrite == Overwrite::Never) {
        // QFile::rename never replaces an existing file, even one that appeared meanwhile.
        if (!part.rename(target.filePath())) {
            FileWriteResult result = Failed(path, part.errorString());
            result.nameTaken = QFileInfo::exists(target.filePath());
            return result;
        }
    } else {
        std::error_code error;
        std::filesystem::rename(FsPath(part.fileName()), FsPath(target.filePath()), error);
        if (error) return Failed(path, QString::fromStdString(error.message()));
    }
    part.setAutoRemove(false);
    return {FileResult::Done()};
}

}  // namespace r7
