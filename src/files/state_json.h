#pragma once

// The editor state as one JSON object under the editor's own names, for the command line.

#include <QJsonObject>
#include <QString>

#include "files/file_result.h"
#include "image/editor_state.h"

namespace r7 {

QJsonObject StateToJson(const EditorState& state);

// Keys that are missing keep the values of `base`; an unknown key is refused (each one named,
// with the nearest known key when one is close); a key of the wrong type or shape, or a
// list position outside its list, is refused with a message naming the key; so is every
// value the radio image cannot hold as it is (each named with its key, row and column).
using StateJsonResult = FileReadResult<EditorState>;
StateJsonResult StateFromJson(const QJsonObject& json, const EditorState& base);

}  // namespace r7
