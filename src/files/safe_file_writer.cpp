#include "files/safe_file_writer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#elif defined(Q_OS_WIN)
#include <io.h>
#endif

namespace r7 {

namespace {

QString Native(const QString& path) { return QDir::toNativeSeparators(path); }

// Every step below ends in a new file written, a name found taken, or the reason.
using WriteResult = FileReadResult<NewFile>;
enum class Overwrite { Replace, Never };

Unexpected<QString> Failed(const QString& path, const QString& reason) {
    return Unexpected(QStringLiteral("cannot write %1: %2").arg(Native(path), reason));
}

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The temporary files of the writes under way, for a signal handler to remove: fixed slots,
// as a handler may neither allocate nor lock.
constexpr int kFree = 0, kFilling = 1, kArmed = 2;
struct UnfinishedFile {
    std::atomic<int> state{kFree};
    std::array<char, 4096> name{};
};
std::array<UnfinishedFile, 8> gUnfinished;

// The slot now holding `name`, or -1 when every slot is taken (the write goes on unguarded).
int RememberUnfinished(const QByteArray& name) {
    if (name.size() >= static_cast<qsizetype>(gUnfinished[0].name.size())) return -1;
    for (std::size_t i = 0; i < gUnfinished.size(); ++i) {
        int expected = kFree;
        if (!gUnfinished[i].state.compare_exchange_strong(expected, kFilling)) continue;
        std::memcpy(gUnfinished[i].name.data(), name.constData(),
                    static_cast<std::size_t>(name.size()) + 1);
        gUnfinished[i].state = kArmed;
        return static_cast<int>(i);
    }
    return -1;
}

void ForgetUnfinished(int slot) {
    if (slot >= 0) gUnfinished[static_cast<std::size_t>(slot)].state = kFree;
}

// Writes everything to an open descriptor; the reason of a failure, or an empty text.
QString WriteAllTo(int fd, const QByteArray& contents) {
    // Straight to the system: after a short write Qt reports "No space left on device" whatever
    // happened, while the next write gives the real reason (e.g. "File too large").
    const char* at = contents.constData();
    auto left = static_cast<std::size_t>(contents.size());
    while (left > 0) {
#ifdef Q_OS_WIN
        const auto n =
            ::_write(fd, at, static_cast<unsigned>(std::min<std::size_t>(left, 1 << 30)));
#else
        const ssize_t n = ::write(fd, at, left);
#endif
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return n < 0 ? SystemReason() : QStringLiteral("nothing could be written");
        at += n;
        left -= static_cast<std::size_t>(n);
    }
    return {};
}

// Writes everything, then pushes it out of the system's cache, so that a full disk or a size
// limit shows here and not after the file has taken the name.
QString WriteAll(QFile& file, const QByteArray& contents) {
#ifdef Q_OS_UNIX
    if (QString reason = WriteAllTo(file.handle(), contents); !reason.isEmpty()) return reason;
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

// The descriptor that /dev/stdout, /dev/stderr, /dev/fd/N or /proc/self/fd/N stands for, or
// -1. Opened by name, such a file would be the shell's redirection target and be replaced.
int StreamDescriptor(const QString& path) {
    static const QRegularExpression kNumbered(
        QStringLiteral("^/(?:dev/fd|proc/self/fd|proc/thread-self/fd)/(\\d{1,9})$"));
    const QString clean = QDir::cleanPath(path);
    if (clean == QLatin1String("/dev/stdout")) return 1;
    if (clean == QLatin1String("/dev/stderr")) return 2;
    const QRegularExpressionMatch numbered = kNumbered.match(clean);
    return numbered.hasMatch() ? numbered.captured(1).toInt() : -1;
}

// Appends where the descriptor stands, as the shell's `>>` or `>` arranged it.
WriteResult WriteToStream(const QString& path, int fd, const QByteArray& contents) {
#ifdef Q_OS_UNIX
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0) return Failed(path, SystemReason());
    if ((flags & O_ACCMODE) == O_RDONLY)
        return Failed(path, QString::fromLocal8Bit(std::strerror(EBADF)));
#endif
    if (const QString reason = WriteAllTo(fd, contents); !reason.isEmpty())
        return Failed(path, reason);
    return NewFile::Written;
}

WriteResult WriteInPlace(const QString& path, const QByteArray& contents) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failed(path, file.errorString());
    if (const QString reason = WriteAll(file, contents); !reason.isEmpty())
        return Failed(path, reason);
    return NewFile::Written;
}

std::filesystem::path FsPath(const QString& path) {
#ifdef Q_OS_WIN
    return {path.toStdWString()};
#else
    return {QFile::encodeName(path).toStdString()};
#endif
}

// The file a chain of symbolic links ends at, existing or not; empty for a loop.
QString FinalTarget(const QString& path) {
    QString at = path;
    for (int hop = 0; hop < 40; ++hop) {
        const QFileInfo link(at);
        if (!link.isSymLink()) return at;
        at = link.symLinkTarget();
    }
    return {};
}

// No write permission at all (even root keeps off such a file, as the shell and editors do),
// or none for this user. A read-only file system is not the file's own choice: the write
// then fails with that reason.
bool IsReadOnly(const QString& target) {
#ifdef Q_OS_UNIX
    const QByteArray name = QFile::encodeName(target);
    struct stat info {};
    if (::stat(name.constData(), &info) != 0) return false;
    if ((info.st_mode & 0222) == 0) return true;
    return ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) != 0 && errno == EACCES;
#else
    return !(QFile::permissions(target) & QFileDevice::WriteUser);
#endif
}

// The new contents beside the target under a name no other file has; removed at the end
// unless it took the target's name or is kept as the copy a failure names.
class PartFile {
public:
    explicit PartFile(const QString& target) : target_(target) {}
    ~PartFile() {
        if (created_ && !released_) file_.remove();
        ForgetUnfinished(slot_);
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // The reason it cannot be made, or an empty text. On Unix the umask applies.
    QString create(QFileDevice::Permissions permissions) {
        for (int attempt = 0; attempt < 20; ++attempt) {
            const QString name =
                QStringLiteral("%1.%2.part")
                    .arg(target_)
                    .arg(QRandomGenerator::global()->generate() % 1000000, 6, 10, QLatin1Char('0'));
            // Remembered before it exists: a signal may come at any moment after.
            slot_ = RememberUnfinished(QFile::encodeName(name));
            file_.setFileName(name);
            created_ = file_.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered,
                                  permissions);
            if (created_) return {};
            ForgetUnfinished(slot_);
            slot_ = -1;
            if (!QFileInfo(name).isSymLink() && !QFileInfo::exists(name))
                return file_.errorString();
        }
        return QStringLiteral("no free temporary name");
    }
    QFile& file() { return file_; }
    QString name() const { return file_.fileName(); }
    // It has taken the target's name, or stays as the copy a failure names.
    void release() {
        released_ = true;
        ForgetUnfinished(slot_);
        slot_ = -1;
    }

private:
    QString target_;
    QFile file_;
    int slot_ = -1;
    bool created_ = false;
    bool released_ = false;
};

constexpr QFileDevice::Permissions kPrivate = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
// A new file as the user's umask wants it, like any program's: 0666 & ~umask.
constexpr QFileDevice::Permissions kShared = kPrivate | QFileDevice::ReadGroup |
                                             QFileDevice::WriteGroup | QFileDevice::ReadOther |
                                             QFileDevice::WriteOther;

#ifdef Q_OS_UNIX
// Gives the part the owner, group and mode (special bits included) of the file it replaces;
// false when the system refuses (another user's file, a group the writer is not in).
bool TakeOwnerAndMode(int fd, const struct stat& old) {
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) &&
        ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        return false;
    }
    // After the owner: a change of owner clears the set-id bits. The system drops a setgid bit
    // it does not allow silently, so the result is looked at.
    return ::fchmod(fd, old.st_mode & 07777) == 0 && ::fstat(fd, &now) == 0 &&
           (now.st_mode & 07777) == (old.st_mode & 07777);
}

// The old file overwritten from the complete copy, as editors do where renaming would lose
// its owner or its other names; a failure keeps the copy and says where it is.
WriteResult OverwriteFromCopy(const QString& path, const QString& target, PartFile& part,
                              const QByteArray& contents) {
    QString reason;
    const int fd = ::open(QFile::encodeName(target).constData(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        reason = SystemReason();
    } else {
        reason = WriteAllTo(fd, contents);
        if (reason.isEmpty() && (::ftruncate(fd, contents.size()) != 0 || ::fsync(fd) != 0))
            reason = SystemReason();
        ::close(fd);
    }
    if (reason.isEmpty()) return NewFile::Written;
    part.release();
    return Failed(
        path,
        QStringLiteral("%1; the complete new contents are in %2").arg(reason, Native(part.name())));
}

// A crash right after the rename must not bring the old name back. The file is in place
// whatever this says: a failure here is not the write's.
void SyncFolder(const QString& folder) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    (void)::fsync(fd);
    ::close(fd);
}

void EndOnSignal(int number) {
    RemoveUnfinishedFiles();
    ::raise(number);  // the handler was reset: the signal ends the program as it would have
}
#endif

WriteResult PutInPlace(const QString& path, const QString& target, PartFile& part,
                       const QByteArray& contents, bool existing) {
    std::error_code error;
    std::filesystem::rename(FsPath(part.name()), FsPath(target), error);
#ifdef Q_OS_UNIX
    // A file mounted on its own (a container's bind mount) cannot be renamed over.
    if (error.value() == EBUSY && existing) return OverwriteFromCopy(path, target, part, contents);
    if (!error) SyncFolder(QFileInfo(target).absolutePath());
#else
    Q_UNUSED(contents);
    Q_UNUSED(existing);
#endif
    if (error) return Failed(path, QString::fromStdString(error.message()));
    part.release();
    return NewFile::Written;
}

// Writes the part and puts it in the target's place; `target` is a regular file or free.
WriteResult ReplaceRegularFile(const QString& path, const QString& target,
                               const QByteArray& contents, Overwrite overwrite) {
    const bool existing = QFileInfo::exists(target);
    PartFile part(target);
    // A copy of an existing file is private until it has the old one's owner and mode.
    if (const QString reason = part.create(existing ? kPrivate : kShared); !reason.isEmpty()) {
        return Failed(path, QStringLiteral("cannot create a file in %1: %2")
                                .arg(Native(QFileInfo(target).absolutePath()), reason));
    }
    if (const QString reason = WriteAll(part.file(), contents); !reason.isEmpty())
        return Failed(path, reason);  // the part removes itself
#ifdef Q_OS_UNIX
    struct stat old {};
    const bool inPlace = existing && ::stat(QFile::encodeName(target).constData(), &old) == 0 &&
                         (old.st_nlink > 1 || !TakeOwnerAndMode(part.file().handle(), old));
#else
    if (existing) part.file().setPermissions(QFile::permissions(target));
#endif
    part.file().close();
    if (part.file().error() != QFileDevice::NoError) return Failed(path, part.file().errorString());
#ifdef Q_OS_UNIX
    if (inPlace) return OverwriteFromCopy(path, target, part, contents);
#endif

    if (overwrite == Overwrite::Never) {
        // QFile::rename never replaces an existing file, even one that appeared meanwhile.
        if (!part.file().rename(target)) {
            if (QFileInfo::exists(target)) return NewFile::NameTaken;
            return Failed(path, part.file().errorString());
        }
        part.release();
        return NewFile::Written;
    }
    return PutInPlace(path, target, part, contents, existing);
}

WriteResult Write(const QString& path, const QByteArray& contents, Overwrite overwrite) {
    if (const int fd = StreamDescriptor(path); fd >= 0) return WriteToStream(path, fd, contents);
    if (overwrite == Overwrite::Never && (QFileInfo::exists(path) || QFileInfo(path).isSymLink()))
        return NewFile::NameTaken;
    // A link stays a link: the file it points at is the one written, made when missing.
    const QString target = FinalTarget(path);
    if (target.isEmpty()) return Failed(path, QStringLiteral("its symbolic links form a loop"));
    const QFileInfo info(target);
    if (info.exists()) {
        if (info.isDir()) return Failed(path, QStringLiteral("it is a folder"));
        if (!info.isFile()) return WriteInPlace(path, contents);
        if (IsReadOnly(target))
            return Unexpected(QStringLiteral("%1 is read-only").arg(Native(path)));
    }
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isDir()) {
        return Failed(path, QStringLiteral("the folder %1 does not exist").arg(Native(folder)));
    }
    return ReplaceRegularFile(path, info.absoluteFilePath(), contents, overwrite);
}

}  // namespace

FileResult WriteFileSafely(const QString& path, const QByteArray& contents) {
    if (WriteResult written = Write(path, contents, Overwrite::Replace); !written)
        return Unexpected(written.error());
    return {};
}

FileReadResult<NewFile> WriteNewFileSafely(const QString& path, const QByteArray& contents) {
    return Write(path, contents, Overwrite::Never);
}

void PrepareFileWritingForSignals() {
#ifdef Q_OS_UNIX
    ::signal(SIGXFSZ, SIG_IGN);  // write() then fails with EFBIG, "File too large"
    for (const int number : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
        struct sigaction now {};
        // One ignored by whoever started the program (nohup) stays ignored.
        if (::sigaction(number, nullptr, &now) != 0 || now.sa_handler != SIG_DFL) continue;
        struct sigaction action {};
        action.sa_handler = EndOnSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(number, &action, nullptr);
    }
#endif
}

void RemoveUnfinishedFiles() noexcept {
    for (UnfinishedFile& file : gUnfinished) {
        if (file.state.load() != kArmed) continue;
#ifdef Q_OS_UNIX
        ::unlink(file.name.data());
#else
        std::remove(file.name.data());
#endif
    }
}

}  // namespace r7
