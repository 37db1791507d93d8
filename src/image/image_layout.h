#pragma once

// The memory map of the 848-byte radio image: every offset the codec uses, once.

#include <array>
#include <cstddef>
#include <cstdint>

namespace r7::layout {

inline constexpr std::size_t kImageSize = 0x350;            // 848 bytes, offsets 000-34F
inline constexpr std::size_t kDecodedSize = 0x330;          // decoding reads nothing beyond 32F
inline constexpr std::size_t kReadSize = 0x340;             // a read from the radio returns 000-33F
inline constexpr std::uint16_t kRadioAddressOffset = 0x10;  // radio address = offset + 10 hex

// Channel records: channel n at (n - 1) * 10 hex.
inline constexpr std::size_t kChannelBase = 0x000;
inline constexpr std::size_t kChannelRecordSize = 0x10;
inline constexpr std::size_t kRecReceive = 0;     // 4 bytes BCD
inline constexpr std::size_t kRecTransmit = 4;    // 4 bytes BCD
inline constexpr std::size_t kRecDecodeTone = 8;  // tone word, low byte first
inline constexpr std::size_t kRecEncodeTone = 10;
inline constexpr std::size_t kRecBusyLock = 12;
inline constexpr std::size_t kRecPowerBand = 13;
// 14-15 spare, FF FF

// An empty channel: FF x 13, F0, FF, FF.
inline constexpr std::array<std::uint8_t, kChannelRecordSize> kEmptyChannelRecord = {
    0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF};

inline constexpr std::size_t ChannelOffset(int channel) {
    return kChannelBase + static_cast<std::size_t>(channel - 1) * kChannelRecordSize;
}

// General settings and VOX options: one byte each.
enum class SettingTarget { Combo, Option };
enum class SettingRule {
    Switch,   // written 00 for position 0, FF otherwise; read: below 2 -> 0, else 1
    Direct,   // written as the position (or option number); read when value <= max
    Doubled,  // written 2 x position; read position = value / 2 when value <= max
    Squelch,  // written as the entry's number (position + 1); read 1..max -> value - 1
};
struct SettingField {
    std::uint16_t offset;
    SettingTarget target;
    int index;  // ComboN or OptionValues position
    SettingRule rule;
    int maxAccepted;
};
inline constexpr SettingField kSettings[] = {
    {0x11D, SettingTarget::Combo, 10, SettingRule::Switch, 255},  // Radio Switch
    {0x11F, SettingTarget::Combo, 2, SettingRule::Direct, 2},     // Language
    {0x120, SettingTarget::Combo, 3, SettingRule::Doubled, 13},   // LauchTime
    {0x121, SettingTarget::Combo, 4, SettingRule::Direct, 10},    // time-out pre-alert
    {0x124, SettingTarget::Combo, 5, SettingRule::Squelch, 9},    // Squelch Grade
    {0x125, SettingTarget::Combo, 6, SettingRule::Direct, 1},     // Battery Save
    {0x126, SettingTarget::Combo, 7, SettingRule::Direct, 1},     // Beep
    {0x127, SettingTarget::Option, 23, SettingRule::Direct, 1},   // Cancel operation
    {0x128, SettingTarget::Option, 24, SettingRule::Direct, 1},   // Prohibit VOX in receiving
    {0x129, SettingTarget::Option, 6, SettingRule::Direct, 1},    // VOX Function
    {0x12A, SettingTarget::Option, 7, SettingRule::Direct, 10},   // VOX Gain Level
    {0x12B, SettingTarget::Option, 8, SettingRule::Direct, 5},    // VOX Delay Time
    {0x12C, SettingTarget::Option, 9, SettingRule::Direct, 1},    // VOX Carry Tone
    {0x12D, SettingTarget::Combo, 9, SettingRule::Direct, 1},     // Radio Return
    {0x150, SettingTarget::Combo, 8, SettingRule::Direct, 1},     // Scan
};

// Scan list: channels 1-8 in 16E (channel n at bit n - 1), 9-16 in 16F.
inline constexpr std::size_t kScanLow = 0x16E;
inline constexpr std::size_t kScanHigh = 0x16F;

inline constexpr std::size_t kPowerHigh = 0x173;
inline constexpr std::size_t kPowerLow = 0x178;

// Test frequencies: row r, column c at 270 + (r - 1) * 8 + (c - 1) * 4.
inline constexpr std::size_t kTestFrequencyBase = 0x270;
inline constexpr std::size_t TestFrequencyOffset(int row, int column) {
    return kTestFrequencyBase + static_cast<std::size_t>(row - 1) * 8 +
           static_cast<std::size_t>(column - 1) * 4;
}

// Information lines, 32 bytes each, FF after the end of the text.
inline constexpr std::size_t kInfoLineLength = 32;
inline constexpr std::size_t kInfoLineOffset[2] = {0x2F0, 0x310};

// Bytes written the same whatever the editor holds (everything else not named above is
// filler FF).
struct FixedRun {
    std::uint16_t offset;
    std::uint8_t length;
    std::array<std::uint8_t, 8> bytes;
};
inline constexpr FixedRun kFixedRuns[] = {
    {0x122, 2, {0x00, 0x00}},
    {0x1A8, 8, {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF}},  // identity "P3207"
    {0x330, 7, {0x54, 0x4B, 0x2D, 0x33, 0x32, 0x30, 0x37}},        // model "TK-3207"
    {0x33C, 1, {0x33}},
    {0x340, 8, {0x36, 0x30, 0x39, 0x30, 0x35, 0x32, 0x36, 0x30}},  // "60905260"
};

}  // namespace r7::layout
