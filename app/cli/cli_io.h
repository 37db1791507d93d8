#pragma once

// Files as every command reads and writes them; failures are reported on stderr.

#include <QByteArray>
#include <QString>
#include <optional>

#include "image/editor_state.h"

namespace r7::cli {

// A data file decoded over a new configuration.
std::optional<EditorState> ReadConfiguration(const QString& path);
// A whole file, or standard input for "-".
std::optional<QByteArray> ReadInput(const QString& path);
// Encodes the state into a data file through the safe writer; refuses (and names) every
// value the image cannot hold as it is.
bool WriteConfiguration(const QString& path, const EditorState& state);

}  // namespace r7::cli
