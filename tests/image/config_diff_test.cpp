#include "image/config_diff.h"

#include <gtest/gtest.h>

#include <functional>

#include "image/editor_defaults.h"

namespace r7 {
namespace {

TEST(ConfigDiff, OneLinePerChangedField) {
    struct Case {
        std::function<void(EditorState&)> change;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {[](EditorState&) {}, {}},
        {[](EditorState& s) { s.cell(3, ColReceive) = "446.01250"; },
         {"Channel 03 Receive: 446.00625 -> 446.01250"}},
        {[](EditorState& s) { s.cell(3, ColEncode) = "D023I"; },
         {"Channel 03 QT/DQT Enc: 88.5 -> D023I"}},
        {[](EditorState& s) { s.cell(3, ColTransmit).clear(); },
         {"Channel 03 Transmit: 446.00625 -> (empty)"}},
        {[](EditorState& s) {
             s.cell(12, ColReceive) = "440.00000";
             s.cell(12, ColScan) = "Have";
         },
         {"Channel 12 Receive: (empty) -> 440.00000", "Channel 12 Scan: (empty) -> Have"}},
        {[](EditorState& s) { s.combo(5) = 8; }, {"Squelch Grade: 4 -> 9"}},
        {[](EditorState& s) { s.combo(4) = 2; }, {"发射超时预警: 关闭 -> 2秒"}},
        {[](EditorState& s) { s.combo(9) = 1; }, {"Radio Return: Return -> Forbid return"}},
        {[](EditorState& s) { s.option(7) = "10"; }, {"VOX Gain Level: 01 -> 10"}},
        {[](EditorState& s) { s.option(8) = "5"; }, {"VOX Delay Time: 0.5S -> 3S"}},
        {[](EditorState& s) { s.option(24) = "0"; },
         {"Prohibit VOX in the receiving: checked -> unchecked"}},
        {[](EditorState& s) { s.PowerHigh = 210; }, {"Power High: 208 -> 210"}},
        {[](EditorState& s) { s.testFrequency(16, 2) = "469.99000"; },
         {"Test Frequency 16 Transmit: (empty) -> 469.99000"}},
        {[](EditorState& s) { s.InfoTexts[1] = "Hello"; }, {"Information 2: \"\" -> \"Hello\""}},
        // Not in the radio image: never reported.
        {[](EditorState& s) {
             s.option(16) = "123";
             s.DtmfValues[0] = "5";
             s.DtmfMemories[3] = "911";
             s.KeyPF1 = 4;
             s.ServiceUnlocked = 1;
             s.combo(1) = 1;
         },
         {}},
    };
    EditorState base = NewConfiguration();
    base.cell(3, ColReceive) = "446.00625";
    base.cell(3, ColTransmit) = "446.00625";
    base.cell(3, ColEncode) = "88.5";
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EditorState changed = base;
        cases[i].change(changed);
        EXPECT_EQ(DiffConfigurations(base, changed), cases[i].lines) << "case " << i;
    }
}

TEST(ConfigDiff, ListsInTheOrderOfTheConfiguration) {
    EditorState a = NewConfiguration(), b = a;
    b.InfoTexts[0] = "x";
    b.PowerHigh = 1;
    b.combo(2) = 2;
    b.cell(16, ColBand) = "Narrow";
    b.cell(1, ColPower) = "Low";
    EXPECT_EQ(DiffConfigurations(a, b),
              (std::vector<std::string>{"Channel 01 Power: (empty) -> Low",
                                        "Channel 16 Band: (empty) -> Narrow",
                                        "Language: English -> Chinese", "Power High: 208 -> 1",
                                        "Information 1: \"\" -> \"x\""}));
}

}  // namespace
}  // namespace r7
