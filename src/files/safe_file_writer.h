#pragma once

// The one way the program writes a file. A regular file is replaced only by a complete,
// flushed and synced copy that already has the old file's owner, group and mode, so any
// failure leaves the old file byte for byte as it was. Where the copy cannot take the owner
// or the group, or the file has other names (hard links), the old file is overwritten in
// place from the complete copy instead, and a failure says where that copy is. A read-only
// file is refused; a symbolic link stays a link and the file it points at is written. A
// stream named as a file (/dev/stdout, /dev/fd/N, ...) and a target that is not a regular
// file (a device such as /dev/null, a FIFO) are written in place and never replaced.

#include <QByteArray>
#include <QString>

#include "files/file_result.h"

namespace r7 {

FileResult WriteFileSafely(const QString& path, const QByteArray& contents);

// The same for a file that must not exist yet: an existing name, even one that appears during
// the write, is left alone and nothing is written.
enum class NewFile { Written, NameTaken };
FileReadResult<NewFile> WriteNewFileSafely(const QString& path, const QByteArray& contents);

// Called once at start-up by each program: a file size limit then fails the write ("File
// too large") instead of ending the program, and SIGINT, SIGTERM, SIGHUP and SIGQUIT remove
// the temporary file of a write they interrupt before ending the program as they would.
void PrepareFileWritingForSignals();
// Removes the temporary files of the writes under way; safe inside a signal handler, for
// handlers that end the program themselves.
void RemoveUnfinishedFiles() noexcept;

}  // namespace r7
