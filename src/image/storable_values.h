#pragma once

// Values the radio image can hold exactly. A value is storable when writing it into an image
// and reading that image back gives the same value: every text the editor offers and every
// text the decoder shows for a radio's bytes. Anything else would reach the radio as some
// other value, so the callers refuse it instead.

#include <string>
#include <vector>

#include "editor_state.h"

namespace r7 {

struct UnstorableValue {
    std::string key;     // the editor's name: "rows", "OptionValues", "Combo3", "InfoTexts", ...
    int row = 0;         // 1-based row of a table or position in a list; 0 for a single value
    int column = 0;      // 1-based column of a table; 0 otherwise
    std::string text;    // the value as given
    std::string stored;  // what the radio would hold instead

    // "rows" row 3, column 5 (Power): "low" cannot be stored (it would become "High")
    std::string describe() const;
};

std::vector<UnstorableValue> UnstorableValues(const EditorState& state);

}  // namespace r7
