#include "files/dat_file.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

#include "files/safe_file_writer.h"

namespace r7 {

DatReadResult ParseDat(const QByteArray& contents) {
    if (!contents.startsWith(QByteArray(kDatTypeMark, kDatMarkSize)))
        return Unexpected(DatError{DatStatus::WrongType, {}});
    if (contents.size() < kDatMinimumSize) return Unexpected(DatError{DatStatus::TooShort, {}});
    const qsizetype end = std::min(contents.size(), kDatReadPositions);
    std::vector<std::uint8_t> image(static_cast<std::size_t>(kDatImagePositions), 0xFF);
    std::copy(contents.begin() + kDatMarkSize, contents.begin() + end, image.begin());
    return image;
}

DatReadResult ReadDatFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return Unexpected(
            DatError{DatStatus::CannotRead,
                     QStringLiteral("Cannot open %1: %2").arg(path, file.errorString())});
    }
    DatReadResult result = ParseDat(file.read(kDatReadPositions));
    if (result) return result;
    if (result.error().status == DatStatus::WrongType) {
        return Unexpected(DatError{
            DatStatus::WrongType,
            QStringLiteral("%1 is not a Morvane R7 configuration (no P3207 mark)").arg(path)});
    }
    return Unexpected(DatError{
        DatStatus::TooShort, QStringLiteral("%1 is too short to hold a configuration").arg(path)});
}

QByteArray DatFileContents(const ImageBytes& image) {
    QByteArray out(kDatTypeMark, kDatMarkSize);
    out.append(reinterpret_cast<const char*>(image.data()), static_cast<qsizetype>(image.size()));
    return out;
}

FileResult WriteDatFile(const QString& path, const ImageBytes& image) {
    return WriteFileSafely(path, DatFileContents(image));
}

}  // namespace r7
