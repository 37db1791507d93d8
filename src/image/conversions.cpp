#include "conversions.h"

#include "hex_text.h"

namespace r7 {

namespace {

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::uint8_t HexPair(char high, char low) {
    return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

// The octal digits between 'D' and the polarity letter, added to `base`.
std::optional<std::uint16_t> DcsWord(std::string_view t, int base) {
    int c = 0;
    for (std::size_t k = 1; k + 1 < t.size(); ++k) {
        if (t[k] < '0' || t[k] > '7') return std::nullopt;
        c = c * 8 + (t[k] - '0');
    }
    return static_cast<std::uint16_t>(base + c);
}

std::optional<std::uint16_t> CtcssWord(std::string_view t) {
    // Digits, a point, one digit; the word is the tone in tenths of Hz.
    if (t.size() < 2 || t[t.size() - 2] != '.') return std::nullopt;
    long v = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i == t.size() - 2) continue;
        if (t[i] < '0' || t[i] > '9') return std::nullopt;
        v = v * 10 + (t[i] - '0');
        if (v >= 0xFFFF) return std::nullopt;
    }
    // A word whose first hex digit is 2 or A would read back as a DCS code.
    int first = static_cast<int>(v >> 12);
    if (first == 0x2 || first == 0xA) return std::nullopt;
    return static_cast<std::uint16_t>(v);
}

}  // namespace

bool IsFrequencyText(std::string_view t) {
    if (t.size() != 9 || t[3] != '.') return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i != 3 && !IsUpperHexDigit(t[i])) return false;
    }
    return true;
}

std::optional<FrequencyBytes> EncodeFrequency(std::string_view t) {
    if (!IsFrequencyText(t)) return std::nullopt;
    return FrequencyBytes{HexPair(t[7], t[8]), HexPair(t[5], t[6]), HexPair(t[2], t[4]),
                          HexPair(t[0], t[1])};
}

std::string DecodeFrequency(const std::uint8_t* b) {
    const std::uint8_t mostSignificantFirst[] = {b[3], b[2], b[1], b[0]};
    std::string text = ToHexText(mostSignificantFirst);
    return text.insert(3, 1, '.');
}

bool IsNoFrequency(const std::uint8_t* b) {
    return b[0] == 0xFF && b[1] == 0xFF && b[2] == 0xFF && b[3] == 0xFF;
}

std::optional<std::uint16_t> EncodeTone(std::string_view t) {
    if (t.empty() || t == "Off") return kToneOff;
    const bool dcs = t[0] == 'D' && (t.back() == 'N' || t.back() == 'I');
    if (dcs && t.size() == 5) return DcsWord(t, t.back() == 'N' ? 0x2800 : 0xA800);
    // "D23N": a word 2000-203F (A000-A03F) a radio held, shown short; it goes back unchanged.
    if (dcs && (t.size() == 3 || t.size() == 4))
        return DcsWord(t, t.back() == 'N' ? 0x2000 : 0xA000);
    return CtcssWord(t);
}

std::string DecodeTone(std::uint16_t word) {
    int first = word >> 12;
    if (first == 0x2 || first == 0xA) {
        // The octal text of the last three hex digits, of which the last three digits count.
        int n = word & 0xFFF;
        std::string text = "D";
        if (n >= 0100) text += static_cast<char>('0' + ((n >> 6) & 7));
        if (n >= 010) text += static_cast<char>('0' + ((n >> 3) & 7));
        text += static_cast<char>('0' + (n & 7));
        text += first == 0x2 ? 'N' : 'I';
        return text;
    }
    std::string s = std::to_string(word);
    s.insert(s.size() - 1, 1, '.');
    return s;
}

std::uint8_t EncodeBusyLock(std::string_view t) {
    if (t == "Off") return 0xE0;
    if (t == "Carrier") return 0xE8;
    if (t == "QT/DQT") return 0xF0;
    return 0xFF;
}

std::string DecodeBusyLock(std::uint8_t value) {
    switch ((value >> 3) & 0x3) {
        case 0:
            return "Off";
        case 1:
            return "Carrier";
        case 2:
            return "QT/DQT";
        default:
            return "";
    }
}

std::uint8_t EncodePowerBand(std::string_view power, std::string_view band) {
    // Bits 7-6 are always 11; an empty (or unknown) cell counts as High and Wide.
    std::uint8_t value = 0xC0;
    if (power != "Low") value |= 0x20;
    if (band != "Narrow") value |= 0x10;
    return value;
}

std::string DecodePower(std::uint8_t value) { return (value & 0x20) ? "High" : "Low"; }
std::string DecodeBand(std::uint8_t value) { return (value & 0x10) ? "Wide" : "Narrow"; }

}  // namespace r7
