#pragma once

// Backups of a radio taken before it is written: a data file with a time-stamped name that
// never replaces an existing file.

#include <QDateTime>
#include <QString>

#include "files/file_result.h"
#include "image/image_codec.h"

namespace r7::link {

// "R7-backup-20261206-221530.DAT"; with a radio number (batch programming)
// "R7-backup-20261206-221530-radio3.DAT".
QString BackupFileName(const QDateTime& when, int radioNumber = 0);

// The file written, or the reason in English, naming the folder or file.
using BackupResult = FileReadResult<QString>;

// Writes the image as a data file in `dir` under BackupFileName; when that name is taken, "-2",
// "-3", ... go before ".DAT". The file appears only complete (written aside, then renamed
// without replacing anything).
BackupResult SaveBackup(const QString& dir, const ImageBytes& image, const QDateTime& when,
                        int radioNumber = 0);

}  // namespace r7::link
