#pragma once

// What a file held when this program last read or wrote it, so that a change made since by
// another program is seen before it is saved over. The contents are compared, not the time:
// two saves within one tick of the file system's clock look the same by time.

#include <QByteArray>
#include <QString>

namespace r7 {

struct FileFingerprint {
    bool exists = false;
    QByteArray digest;  // of the contents

    bool operator==(const FileFingerprint&) const = default;
};

FileFingerprint FingerprintOf(const QByteArray& contents);
// A file that is missing or cannot be read has none (`exists` false).
FileFingerprint FingerprintOfFile(const QString& path);

}  // namespace r7
