#include "files/dat_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace r7 {

DatReadResult ParseDat(const QByteArray& contents) {
    DatReadResult result;
    if (!contents.startsWith(QByteArray(kDatTypeMark, kDatMarkSize))) {
        result.status = DatStatus::WrongType;
        return result;
    }
    if (contents.size() < kDatMinimumSize) {
        result.status = DatStatus::TooShort;
        return result;
    }
    qsizetype end = std::min(contents.size(), kDatReadPositions);
    result.image.assign(static_cast<std::size_t>(kDatImagePositions), 0xFF);
    std::copy(contents.begin() + kDatMarkSize, contents.begin() + end, result.image.begin());
    result.status = DatStatus::Ok;
    result.ok = true;
    return result;
}

DatReadResult ReadDatFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        DatReadResult result;
        result.status = DatStatus::CannotRead;
        result.error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return result;
    }
    DatReadResult result = ParseDat(file.read(kDatReadPositions));
    if (result.status == DatStatus::WrongType) {
        result.error =
            QStringLiteral("%1 is not a Morvane R7 configuration (no P3207 mark)").arg(path);
    } else if (result.status == DatStatus::TooShort) {
        result.error = QStringLiteral("%1 is too short to hold a configuration").arg(path);
    }
    return result;
}

QByteArray DatFileContents(const ImageBytes& image) {
    QByteArray out(kDatTypeMark, kDatMarkSize);
    out.append(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    return out;
}

DatWriteResult WriteDatFile(const QString& path, const ImageBytes& image) {
    return WriteFileSafely(path, DatFileContents(image));
}

}  // namespace r7
