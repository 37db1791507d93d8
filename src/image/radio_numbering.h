#pragma once

// Numbered radios: a batch can write each radio's own number into one of the two
// information lines, from a pattern such as "UNIT {n}" or "ACME {n:02}" ({n:0W} pads the
// number with zeros to W digits). The numbered line must be one the radio can hold exactly
// (the rule of the Insert Information dialog: at most 32 single-byte characters, no ÿ);
// a batch is refused before its first radio when its first (and, for a batch of known
// size, its last) line would not be, and an open-ended batch stops before the first radio
// whose line would not fit.

#include <optional>
#include <string>
#include <string_view>

#include "editor_state.h"

namespace r7 {

struct RadioNumbering {
    int line = 1;  // information line 1 or 2
    std::string prefix;
    std::string suffix;
    int width = 0;  // at least this many digits, zeros in front
    int first = 1;  // the number of the batch's first radio

    // The line of the radio with this number.
    std::string text(int number) const;
    // Why the radio with this number cannot get its line, "" when it can.
    std::string problem(const EditorState& state, int number) const;
    // Stores the numbered line into `state`; false (state unchanged) when it cannot.
    bool apply(EditorState& state, int number) const;
    // "line 2: UNIT 07", as the programming log keeps it.
    std::string logText(int number) const;
};

// A pattern with exactly one {n} or {n:0W} (W 1 to 9); nullopt with the reason otherwise.
std::optional<RadioNumbering> ParseRadioNumbering(std::string_view pattern, int line, int first,
                                                  std::string* error);

// The batch's refusal before its first radio: the first number, and the last one when the
// batch has a known number of radios (0: open-ended). "" when it may start.
std::string NumberingRefusal(const RadioNumbering& numbering, const EditorState& state, int radios);

}  // namespace r7
