#pragma once

// The one way the program writes a file. A regular file is replaced only by a complete,
// flushed and synced copy that already has the old file's owner, group and mode, so any
// failure leaves the old file byte for byte as it was. Where the copy cannot take the owner
// or the group, or the file has other names (hard links), the old file is overwritten in
// place from the complete copy instead, and a failure says where that copy is. A read-only
// file is refused; a symbolic link stays a link and the file it points at is written. A
// stream named as a file (/dev/stdout, /dev/fd/N, ...) and a target that is not a regular
// file (a device such as /dev/null, a FIFO) are written in place and never replaced.

#include <QByteArray>
#include <QString>
#include <utility>

namespace r7 {

enum class Overwrite {
    Replace,  // an existing file is replaced
    Never,    // an existing name is left alone (the result says so); nothing is written
};

// What the file layer gives back: done, or the reason in English, naming the file, for the
// one place that shows it.
struct FileResult {
    bool ok = false;
    QString error;  // empty when ok

    static FileResult Done() { return {true, {}}; }
    static FileResult Failed(QString reason) { return {false, std::move(reason)}; }
};

// Done with what was read, or the reason; `value` is meaningful only when ok.
template <typename T>
struct FileReadResult : FileResult {
    T value{};

    static FileReadResult Read(T value) { return {Done(), std::move(value)}; }
};

struct FileWriteResult : FileResult {
    bool nameTaken = false;  // Overwrite::Never only: the name already exists
};

FileWriteResult WriteFileSafely(const QString& path, const QByteArray& contents,
                                Overwrite overwrite = Overwrite::Replace);

// Called once at start-up by each program: a file size limit then fails the write ("File
// too large") instead of ending the program, and SIGINT, SIGTERM, SIGHUP and SIGQUIT remove
// the temporary file of a write they interrupt before ending the program as they would.
void PrepareFileWritingForSignals();
// Removes the temporary files of the writes under way; safe inside a signal handler, for
// handlers that end the program themselves.
void RemoveUnfinishedFiles() noexcept;

}  // namespace r7
