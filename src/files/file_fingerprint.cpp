#include "files/file_fingerprint.h"

#include <QCryptographicHash>
#include <QFile>

namespace r7 {

FileFingerprint FingerprintOf(const QByteArray& contents) {
    return {true, QCryptographicHash::hash(contents, QCryptographicHash::Sha256)};
}

FileFingerprint FingerprintOfFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!hash.addData(&file)) return {};
    return {true, hash.result()};
}

}  // namespace r7
