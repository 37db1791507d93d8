#pragma once

// The one way the program writes a file. A regular file is replaced only by a complete,
// flushed and synced copy, so any failure leaves the old file byte for byte as it was. A
// target that is not a regular file (a device such as /dev/null, a FIFO) is written in place
// and never replaced: it holds no contents to protect, and the user asked for it.

#include <QByteArray>
#include <QString>

namespace r7 {

enum class Overwrite {
    Replace,  // an existing file is replaced
    Never,    // an existing name is left alone (the result says so); nothing is written
};

struct FileWriteResult {
    bool ok = false;
    bool nameTaken = false;  // Overwrite::Never only: the name already exists
    QString error;           // English, names the file and the reason; empty when ok
};

FileWriteResult WriteFileSafely(const QString& path, const QByteArray& contents,
                                Overwrite overwrite = Overwrite::Replace);

}  // namespace r7
