#pragma once

// The channel table written as records in the generic CSV column layout of
// channel_import.h, which reads them back.

#include <string>
#include <vector>

#include "channel_import.h"

namespace r7 {

// The header and one record per channel in use, in channel order. A channel whose texts
// cannot be expressed in the format (digits a damaged image left) is written as it is and
// named in `problems`, so that importing it again refuses it loudly.
std::vector<std::vector<std::string>> CsvRecordsOfChannels(const EditorState& state,
                                                           std::vector<std::string>* problems);

}  // namespace r7
