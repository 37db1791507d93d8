#pragma once

// Files as every command reads and writes them; failures are reported on stderr.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

#include "files/file_lock.h"
#include "image/editor_state.h"

namespace r7::cli {

// A data file decoded over a new configuration.
std::optional<EditorState> ReadConfiguration(const QString& path);
// A whole file, or standard input for "-".
std::optional<QByteArray> ReadInput(const QString& path);
// The file an output option names: "-" is standard output.
QString OutputPath(const QString& option);
// Held while a command reads a file to write it back; nothing (after saying why) while
// another process holds it past the wait.
std::unique_ptr<FileLock> LockForChange(const QString& path);
// Encodes the state into a data file through the safe writer; refuses (and names) every
// value the image cannot hold as it is.
bool WriteConfiguration(const QString& path, const EditorState& state);

}  // namespace r7::cli
