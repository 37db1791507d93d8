#pragma once

// The ".DAT" configuration file: the type mark "P3207" and the 848-byte radio image.

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

#include "files/file_result.h"
#include "image/image_codec.h"

namespace r7 {

inline constexpr char kDatTypeMark[] = "P3207";
inline constexpr qsizetype kDatMarkSize = 5;
inline constexpr qsizetype kDatFileSize = kDatMarkSize + static_cast<qsizetype>(layout::kImageSize);
// Open looks at this many leading bytes; longer files load like their first 869 bytes.
inline constexpr qsizetype kDatReadPositions = 869;
inline constexpr qsizetype kDatImagePositions = kDatReadPositions - kDatMarkSize;  // 864
// Anything shorter cannot hold the image up to offset 32F, the last one decoding reads.
inline constexpr qsizetype kDatMinimumSize =
    kDatMarkSize + static_cast<qsizetype>(layout::kDecodedSize);

// Why a file did not open: the kind decides which message the window shows.
enum class DatStatus { CannotRead, WrongType, TooShort };
struct DatError {
    DatStatus status = DatStatus::CannotRead;
    QString text;  // English, names the file; empty from ParseDat
};

// The 864 positions after the mark that Open reads; positions past the end of the file (16 of
// them in a saved file) hold FF, the filler where nothing was stored.
using DatReadResult = Expected<std::vector<std::uint8_t>, DatError>;

// Checks the mark and the length of a file's contents.
DatReadResult ParseDat(const QByteArray& contents);
DatReadResult ReadDatFile(const QString& path);

QByteArray DatFileContents(const ImageBytes& image);

// Writes the 853 bytes through WriteFileSafely: a failure never destroys the old file.
FileResult WriteDatFile(const QString& path, const ImageBytes& image);

}  // namespace r7
