#pragma once

// Number and text conversions shared by the codec, the channel editor and the dialogs.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "frequency.h"

namespace r7 {

// --- Frequencies: "446.00625" <-> bytes 25 06 60 44 (8 BCD digits, 10 Hz, LSB first) ---
using FrequencyBytes = std::array<std::uint8_t, 4>;
// True for the nine-character form: three digits, '.', five digits. Hex digits A-F are
// allowed in the digit places because decoding copies odd radio digits unchecked.
bool IsFrequencyText(std::string_view text);
// nullopt when the text is not in the nine-character form.
std::optional<FrequencyBytes> EncodeFrequency(std::string_view text);
// The digits as they are; callers test FF FF FF FF (no frequency) themselves.
std::string DecodeFrequency(const std::uint8_t* bytes);
bool IsNoFrequency(const std::uint8_t* bytes);

// --- Tone words: "Off", "88.5", "D023N", "D023I"; "D23N" for the short words 2000-203F ---
inline constexpr std::uint16_t kToneOff = 0xFFFF;
// The 16-bit tone word of a tone text: FFFF for "Off" or empty; nullopt for a text that
// names no tone word (the codec then stores FFFF).
std::optional<std::uint16_t> EncodeTone(std::string_view text);
// The text of a tone word other than FFFF (the caller decides between "Off" and empty).
std::string DecodeTone(std::uint16_t word);

// --- Channel flag bytes ---
std::uint8_t EncodeBusyLock(std::string_view text);  // E0, E8, F0 or FF
std::string DecodeBusyLock(std::uint8_t value);      // from bits 4-3; "11" gives ""
std::uint8_t EncodePowerBand(std::string_view power, std::string_view band);
std::string DecodePower(std::uint8_t value);  // bit 5
std::string DecodeBand(std::uint8_t value);   // bit 4

}  // namespace r7
