#pragma once

// Everything the program holds about one radio's configuration while it is edited.
// Values are kept as the texts and list positions the user sees; only the codec turns
// them into bytes.

#include <array>
#include <cstdint>
#include <string>

namespace r7 {

inline constexpr int kChannelCount = 16;
inline constexpr int kColumnCount = 9;
inline constexpr int kComboCount = 10;
inline constexpr int kOptionCount = 24;
inline constexpr int kDtmfCount = 8;
inline constexpr int kTestFrequencyRows = 16;
inline constexpr int kInfoLineCount = 2;

// Columns of the channel table.
enum Column : int {
    ColChannel = 0,
    ColReceive = 1,
    ColDecode = 2,
    ColTransmit = 3,
    ColEncode = 4,
    ColPower = 5,
    ColBusyLock = 6,
    ColBand = 7,
    ColScan = 8,
};

using ChannelRow = std::array<std::string, kColumnCount>;

struct EditorState {
    // rows[n - 1] is channel n; column 0 holds its two-digit number.
    std::array<ChannelRow, kChannelCount> rows;  // no {}: clang 14 crashes on it
    // Positions of the general-setting lists; combos[n - 1] is ComboN.
    std::array<int, kComboCount> combos{};

    int PowerHigh = 0;
    int PowerLow = 0;
    int ServiceUnlocked = 0;
    int UnlockClick1 = 0;  // booleans as the radio software keeps them: True = -1
    int UnlockClick2 = 0;
    int UnlockClick3 = 0;
    std::int32_t UnlockClickTime = 0;
    int KeyPF1 = 0;
    int KeyPF2 = 0;

    // Lists are 1-based in the settings' own numbering; use the accessors below.
    std::array<std::string, kOptionCount> OptionValues;
    std::array<std::string, kDtmfCount> DtmfValues;
    std::array<std::string, kDtmfCount> DtmfMemories;
    std::array<std::array<std::string, 2>, kTestFrequencyRows> TestFrequencies;
    std::array<std::string, kInfoLineCount> InfoTexts;

    // channel 1..16, column 0..8
    std::string& cell(int channel, int column) { return rows.at(channel - 1).at(column); }
    const std::string& cell(int channel, int column) const {
        return rows.at(channel - 1).at(column);
    }
    // n = 1..10
    int& combo(int n) { return combos.at(n - 1); }
    int combo(int n) const { return combos.at(n - 1); }
    // position = 1..24
    std::string& option(int position) { return OptionValues.at(position - 1); }
    const std::string& option(int position) const { return OptionValues.at(position - 1); }
    // row = 1..16, column = 1 (receive) or 2 (transmit)
    std::string& testFrequency(int row, int column) {
        return TestFrequencies.at(row - 1).at(column - 1);
    }
    const std::string& testFrequency(int row, int column) const {
        return TestFrequencies.at(row - 1).at(column - 1);
    }

    bool channelEmpty(int channel) const { return cell(channel, ColReceive).empty(); }

    bool operator==(const EditorState&) const = default;
};

}  // namespace r7
