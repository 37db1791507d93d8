#pragma once

#include "editor_state.h"

namespace r7 {

// Writes the defaults of a new configuration: calibration, service mode, channel numbers,
// most optional values and the general settings. Channel cells, OptionValues 16-20, the
// side keys, test frequencies, information lines and the band are left as they are.
void ResetEditor(EditorState& state);

// Empties columns 1 to 8 of every channel (the grid's "clear all"); numbers stay.
void ClearChannels(EditorState& state);

// The state right after start-up: nothing entered, then ResetEditor.
EditorState NewConfiguration();

}  // namespace r7
