#include "config_diff.h"

#include "dialog_lists.h"
#include "setting_lists.h"

namespace r7 {

namespace {

std::string Shown(const std::string& text) { return text.empty() ? "(empty)" : text; }

std::string ItemText(const std::vector<std::string>& items, int position) {
    if (position >= 0 && position < static_cast<int>(items.size())) return items[position];
    return "(position " + std::to_string(position) + ")";
}

// A stored list position ("3") as the item the user sees; other text as it is.
std::string OptionItem(const std::vector<std::string>& items, const std::string& value) {
    if (value.empty() || value.size() > 3) return Shown(value);
    for (char c : value) {
        if (c < '0' || c > '9') return value;
    }
    return ItemText(items, std::stoi(value));
}

std::string CheckText(const std::string& value) {
    return value == "1" ? "checked" : value == "0" ? "unchecked" : Shown(value);
}

struct Differ {
    std::vector<std::string> lines;
    void compare(const std::string& label, const std::string& a, const std::string& b) {
        if (a != b) lines.push_back(label + ": " + a + " -> " + b);
    }
};

}  // namespace

std::vector<std::string> DiffConfigurations(const EditorState& a, const EditorState& b) {
    Differ d;
    const auto& headers = ChannelHeaders();
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        for (int col = ColReceive; col <= ColScan; ++col) {
            d.compare("Channel " + ChannelNumberText(ch) + " " + headers[col],
                      Shown(a.cell(ch, col)), Shown(b.cell(ch, col)));
        }
    }
    for (int combo = 2; combo <= kComboCount; ++combo) {
        const auto& items = ComboEntries(combo);
        if (a.combo(combo) != b.combo(combo)) {
            d.compare(std::string(ComboName(combo)), ItemText(items, a.combo(combo)),
                      ItemText(items, b.combo(combo)));
        }
    }
    for (const auto& list : OptionalLists()) {
        if (list.list != ValueList::Option || list.position < 6 || list.position > 9) continue;
        const std::string& va = a.option(list.position);
        const std::string& vb = b.option(list.position);
        if (va != vb)
            d.compare(std::string(list.label), OptionItem(list.items, va),
                      OptionItem(list.items, vb));
    }
    for (const auto& check : OptionalChecks()) {
        const std::string& va = a.option(check.position);
        const std::string& vb = b.option(check.position);
        if (va != vb) d.compare(std::string(check.caption), CheckText(va), CheckText(vb));
    }
    d.compare("Power High", std::to_string(a.PowerHigh), std::to_string(b.PowerHigh));
    d.compare("Power Low", std::to_string(a.PowerLow), std::to_string(b.PowerLow));
    const char* const sides[] = {"Receive", "Transmit"};
    for (int row = 1; row <= kTestFrequencyRows; ++row) {
        for (int side = 1; side <= 2; ++side) {
            d.compare("Test Frequency " + ChannelNumberText(row) + " " + sides[side - 1],
                      Shown(a.testFrequency(row, side)), Shown(b.testFrequency(row, side)));
        }
    }
    for (int line = 0; line < kInfoLineCount; ++line) {
        d.compare("Information " + std::to_string(line + 1), "\"" + a.InfoTexts[line] + "\"",
                  "\"" + b.InfoTexts[line] + "\"");
    }
    return d.lines;
}

}  // namespace r7
