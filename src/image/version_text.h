#pragma once

#include <string>

namespace r7 {

// The about box's version line: "English:" major "." minor, the revision straight after
// the minor number (6.0.0 -> "English:6.00").
std::string AboutVersionText(int major, int minor, int revision);

}  // namespace r7
