#pragma once

// The one way the program writes a file. A regular file is replaced only by a complete,
// flushed and synced copy, so any failure leaves the old file byte for byte as it was. A
// target that is not a regular file (a device such as /dev/null, a FIFO) is written in place
// and never replaced: it holds no contents to protect, and the user asked for it.

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

}  // namespace r7
