#pragma once

// Files and streams as every command reads and writes them; failures are reported on stderr.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string_view>

#include "files/file_lock.h"
#include "image/editor_state.h"

namespace r7::cli {

// Problems are listed at most a screenful at a time, then counted.
inline constexpr int kScreenfulLines = 20;

// A data file decoded over a new configuration.
std::optional<EditorState> ReadConfiguration(const QString& path);
// A whole file, or standard input for "-", refused past 16 MiB.
std::optional<QByteArray> ReadInput(const QString& path);
// The file an output option names: "-" is standard output.
QString OutputPath(const QString& option);
// Held while a command reads a file to write it back; nothing (after saying why) while
// another process holds it past the wait.
std::unique_ptr<FileLock> LockForChange(const QString& path);
// Encodes the state into a data file through the safe writer; refuses (and names) every
// value the image cannot hold as it is.
bool WriteConfiguration(const QString& path, const EditorState& state);
// Whether `path` may be replaced by a file of another kind (`kind`, such as "CSV file"): not
// when it holds a configuration, unless `force`; a refusal is reported.
bool MayReplaceConfiguration(const QString& path, const QString& kind, bool force);

// Lines on standard error, at most a screenful of them and then how many more there were.
void PrintProblems(const QStringList& lines);

// Standard output: every command writes through these, so that a failed write is known.
void PrintOut(std::string_view text);
void PrintOut(const QString& text);
void FlushOut();
// Flushes and closes standard output; a write that failed turns `status` into a failure and
// says so, except when the reader went away (a closed pipe), which ends quietly.
int CloseOutput(int status);

}  // namespace r7::cli
