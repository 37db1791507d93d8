#pragma once

// Number and text conversions shared by the codec, the channel editor and the dialogs.
// Bytes are written as two upper-case hex digits; bit patterns as texts of '0' and '1',
// most significant bit first.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace r7 {

// "E8" -> "11101000"; a character that is not a hex digit gives "0000".
std::string HexToBits(std::string_view hex);
// Pads `bits` in front with '0' to a multiple of 4 (the argument changes), then gives one
// hex digit per group; any character other than '1' counts as 0.
std::string BitsToHex(std::string& bits);
// Upper-case hex, at least two digits ("0A"); larger numbers give more digits.
std::string HexByte(long long value);
// Upper-case hex, at least four digits; a negative 16-bit number as its 16-bit pattern.
std::string HexWord(long long value);
// Hex text -> number; "0"-"9", "A"-"F", "a"-"f" count, any other character counts 0.
double Hex2Dec(std::string_view hex);

// The leading decimal number of a text, as a user would read it: blanks are skipped,
// '.' is the decimal point; text with no leading number reads as 0.
double LeadingNumber(std::string_view text);
// The leading whole number of a text ("10" -> 10, "1.5" -> 1, "" -> 0).
long long LeadingInteger(std::string_view text);

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
std::uint8_t EncodeBusyLock(std::string_view text);   // E0, E8, F0 or FF
std::string DecodeBusyLock(std::uint8_t value);       // from bits 4-3; "11" gives ""
std::uint8_t EncodePowerBand(std::string_view power, std::string_view band);
std::string DecodePower(std::uint8_t value);           // bit 5
std::string DecodeBand(std::uint8_t value);            // bit 4

// --- Frequency entry ---
// Parses a typed frequency: blanks around it allowed, '.' or ',' as decimal separator,
// nothing else. nullopt when the whole text is not one number.
std::optional<double> ParseFrequencyInput(std::string_view text);
// Places a frequency text (a plain decimal number) on the 5 kHz / 6.25 kHz raster, always
// moving down: "435.0070" -> "435.00625". The input is rounded at the fifth decimal first.
std::string RTurnNumber(std::string_view text);
// The remainder of f by the step s, as the test-frequency dialog defines it.
double FloatMod(double s, double f);
// A number with exactly five decimals, rounded, '.' as the decimal point.
std::string FormatFrequency(double mhz);

}  // namespace r7
