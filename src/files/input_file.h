#pragma once

// What a user hands the program to read (JSON, CSV, pasted rows): read whole, but never more
// than any configuration or channel table could need, so an endless stream (/dev/zero, a
// runaway pipe) is refused while it is read instead of filling the memory.

#include <QByteArray>
#include <QIODevice>
#include <QString>

#include "files/file_result.h"

namespace r7 {

inline constexpr qint64 kMaxInputBytes = qint64{16} * 1024 * 1024;

using InputReadResult = FileReadResult<QByteArray>;

// Reads an open device to its end; `name` is how messages call it.
InputReadResult ReadBoundedInput(QIODevice& device, const QString& name,
                                 qint64 limit = kMaxInputBytes);
InputReadResult ReadInputFile(const QString& path, qint64 limit = kMaxInputBytes);

}  // namespace r7
