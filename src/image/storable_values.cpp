#include "storable_values.h"

#include "image_codec.h"
#include "setting_lists.h"

namespace r7 {

namespace {

// Marks what the decoder leaves alone when a byte is out of its range.
constexpr int kNotRead = -1000;
const std::string kNotReadText = "\x01not read";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string UnstorableValue::describe() const {
    std::string where = Quoted(key);
    if (row > 0) where += (column > 0 ? " row " : " position ") + std::to_string(row);
    if (column > 0 && key == "rows")
        where += ", column " + std::to_string(column) + " (" + ChannelHeaders()[column] + ")";
    if (column > 0 && key != "rows") where += ", column " + std::to_string(column);
    const std::string instead =
        stored == kNotReadText ? "the radio cannot hold it" : "it would become " + Quoted(stored);
    return where + ": " + Quoted(text) + " cannot be stored (" + instead + ")";
}

std::vector<UnstorableValue> UnstorableValues(const EditorState& state) {
    EditorState back = state;
    back.combos.fill(kNotRead);
    back.OptionValues.fill(kNotReadText);
    if (!DecodeImageBytes(EncodeImageBytes(state), back)) return {};
    std::vector<UnstorableValue> out;
    auto compare = [&](const std::string& key, int row, int column, const std::string& given,
                       const std::string& read) {
        if (given != read) out.push_back({key, row, column, given, read});
    };
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        for (int col = ColReceive; col <= ColScan; ++col)
            compare("rows", ch, col, state.cell(ch, col), back.cell(ch, col));
    }
    for (int n = 1; n <= kComboCount; ++n) {
        // Combos the image does not hold keep the mark and are left alone.
        if (back.combo(n) != kNotRead && back.combo(n) != state.combo(n)) {
            compare("Combo" + std::to_string(n), 0, 0, std::to_string(state.combo(n)),
                    std::to_string(back.combo(n)));
        }
    }
    for (const layout::SettingField& f : layout::kSettings) {
        if (f.target == layout::SettingTarget::Option) {
            compare("OptionValues", f.index, 0, state.option(f.index), back.option(f.index));
        } else if (back.combo(f.index) == kNotRead) {
            compare("Combo" + std::to_string(f.index), 0, 0, std::to_string(state.combo(f.index)),
                    kNotReadText);
        }
    }
    compare("PowerHigh", 0, 0, std::to_string(state.PowerHigh), std::to_string(back.PowerHigh));
    compare("PowerLow", 0, 0, std::to_string(state.PowerLow), std::to_string(back.PowerLow));
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        for (int col = 1; col <= 2; ++col) {
            compare("TestFrequencies", row, col, state.testFrequency(row, col),
                    back.testFrequency(row, col));
        }
    }
    for (int line = 0; line < kInfoLineCount; ++line) {
        compare("InfoTexts", line + 1, 0, state.InfoTexts[line], back.InfoTexts[line]);
    }
    return out;
}

}  // namespace r7
