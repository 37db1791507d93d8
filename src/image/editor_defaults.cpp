#include "editor_defaults.h"

#include "setting_lists.h"

namespace r7 {

void ResetEditor(EditorState& s) {
    s.PowerHigh = 208;
    s.PowerLow = 92;
    s.ServiceUnlocked = 0;
    for (int ch = 1; ch <= kChannelCount; ++ch) s.cell(ch, ColChannel) = ChannelNumberText(ch);
    for (auto& memory : s.DtmfMemories) memory.clear();
    for (int p = 1; p <= 15; ++p) s.option(p) = "1";
    for (int p = 21; p <= 24; ++p) s.option(p) = "1";
    s.DtmfValues = {"0", "1", "100MS", "1", "1", "1", "Off", "0"};
    s.combo(2) = 1;   // Language: English
    s.combo(3) = 1;   // LauchTime: 30 S
    s.combo(4) = 0;   // pre-alert off
    s.combo(5) = 3;   // Squelch Grade "4"
    s.combo(6) = 1;   // Battery Save on
    s.combo(7) = 1;   // Beep on
    s.combo(8) = 1;   // Scan on
    s.combo(9) = 0;   // Radio Return: Return
    s.combo(10) = 1;  // Radio Switch on
}

void ClearChannels(EditorState& s) {
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        for (int col = ColReceive; col <= ColScan; ++col) s.cell(ch, col).clear();
    }
}

EditorState NewConfiguration() {
    EditorState s;
    s.combo(1) = 0;  // band "400-470MHz"
    ResetEditor(s);
    return s;
}

}  // namespace r7
