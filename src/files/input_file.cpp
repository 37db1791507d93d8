#include "files/input_file.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace r7 {

InputReadResult ReadBoundedInput(QIODevice& device, const QString& name, qint64 limit) {
    QByteArray data;
    char chunk[64 * 1024];
    for (;;) {
        // One byte past the limit tells a file of exactly `limit` bytes from a longer one.
        const qint64 wanted = std::min<qint64>(sizeof chunk, limit + 1 - data.size());
        const qint64 n = device.read(chunk, wanted);
        if (n < 0) {
            return Unexpected(QStringLiteral("cannot read %1: %2").arg(name, device.errorString()));
        }
        if (n == 0) break;  // the end of a file or of a stream
        data.append(chunk, n);
        if (data.size() > limit) {
            return Unexpected(
                QStringLiteral("%1 is larger than %2 MiB, more than any configuration or "
                               "channel table needs; it was not read")
                    .arg(name)
                    .arg(limit / (qint64{1024} * 1024)));
        }
    }
    return data;
}

InputReadResult ReadInputFile(const QString& path, qint64 limit) {
    QFile file(path);
    const QString name = QDir::toNativeSeparators(path);
    if (!file.open(QIODevice::ReadOnly))
        return Unexpected(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    return ReadBoundedInput(file, name, limit);
}

}  // namespace r7
