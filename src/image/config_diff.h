#pragma once

// The differences of two configurations in words, limited to what the radio image carries:
// channels field by field, the general settings, the VOX options, the calibration, the test
// frequencies and the information lines. Values the image does not hold (DTMF, side keys,
// the band selector) are never compared.

#include <string>
#include <vector>

#include "editor_state.h"

namespace r7 {

// One line per difference, in the order above, e.g.
//   Channel 03 Receive: 446.00625 -> 446.01250
//   Squelch Grade: 4 -> 9
//   Power High: 208 -> 210
// Empty texts show as "(empty)"; information lines are quoted. No lines: equal.
std::vector<std::string> DiffConfigurations(const EditorState& a, const EditorState& b);

}  // namespace r7
