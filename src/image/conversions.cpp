#include "conversions.h"

#include <cmath>
#include <cstdio>
#include <algorithm>
#include <charconv>
#include <cstdlib>

namespace r7 {

namespace {

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool IsUpperHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

std::uint8_t HexPair(char high, char low) {
    return static_cast<std::uint8_t>(HexDigitValue(high) * 16 + HexDigitValue(low));
}

std::string HexPadded(long long value, int width) {
    unsigned long long v = value < 0 ? static_cast<std::uint32_t>(value)
                                     : static_cast<unsigned long long>(value);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%0*llX", width, v);
    return buf;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A decimal number text split into sign, integer digits and fraction digits.
struct DecimalText {
    bool negative = false;
    std::string integer;
    std::string fraction;
};

// Reads the longest leading decimal number, skipping blanks; nullopt when there is none.
// `consumedAll` tells whether anything but blanks followed it.
std::optional<DecimalText> ReadDecimal(std::string_view text, bool allowComma, bool* consumedAll) {
    DecimalText out;
    std::size_t i = 0;
    auto skip = [&] {
        while (i < text.size() && IsBlank(text[i])) ++i;
    };
    skip();
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        out.negative = text[i] == '-';
        ++i;
        skip();
    }
    bool point = false;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (IsBlank(c)) continue;
        if (c >= '0' && c <= '9') {
            (point ? out.fraction : out.integer) += c;
        } else if (!point && (c == '.' || (allowComma && c == ','))) {
            point = true;
        } else {
            break;
        }
    }
    if (consumedAll) *consumedAll = i == text.size();
    if (out.integer.empty() && out.fraction.empty()) return std::nullopt;
    return out;
}

// The number of 10 Hz units (1e-5 MHz) of a decimal text, rounded half up at the fifth
// decimal; done on the digits so that no binary fraction creeps in.
long long UnitsOf(const DecimalText& d) {
    constexpr long long kMaxWhole = 999999999999LL;  // far beyond any frequency; no overflow
    long long units = 0;
    for (char c : d.integer) {
        units = units * 10 + (c - '0');
        if (units > kMaxWhole) units = kMaxWhole;
    }
    for (int k = 0; k < 5; ++k) {
        units = units * 10 + (k < static_cast<int>(d.fraction.size()) ? d.fraction[k] - '0' : 0);
    }
    if (d.fraction.size() > 5 && d.fraction[5] >= '5') ++units;
    return d.negative ? -units : units;
}

std::string FormatUnits(long long units) {
    bool negative = units < 0;
    unsigned long long u = negative ? static_cast<unsigned long long>(-units) : units;
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu.%05llu", negative ? "-" : "", u / 100000, u % 100000);
    return buf;
}

}  // namespace

std::string HexToBits(std::string_view hex) {
    std::string bits;
    bits.reserve(hex.size() * 4);
    for (char c : hex) {
        int v = HexDigitValue(c);
        if (v < 0) v = 0;
        for (int b = 3; b >= 0; --b) bits += ((v >> b) & 1) ? '1' : '0';
    }
    return bits;
}

std::string BitsToHex(std::string& bits) {
    while (bits.size() % 4 != 0) bits.insert(bits.begin(), '0');
    std::string hex;
    for (std::size_t i = 0; i < bits.size(); i += 4) {
        int v = 0;
        for (int k = 0; k < 4; ++k) v = v * 2 + (bits[i + k] == '1' ? 1 : 0);
        hex += "0123456789ABCDEF"[v];
    }
    return hex;
}

std::string HexByte(long long value) { return HexPadded(value, 2); }
std::string HexWord(long long value) {
    // A negative 16-bit number is written as its 16-bit pattern ("FFFF" for -1).
    if (value < 0 && value >= -0x8000) value &= 0xFFFF;
    return HexPadded(value, 4);
}

double Hex2Dec(std::string_view hex) {
    double sum = 0;
    for (char c : hex) {
        int v = HexDigitValue(c);
        sum = sum * 16 + (v < 0 ? 0 : v);
    }
    return sum;
}

double LeadingNumber(std::string_view text) {
    auto d = ReadDecimal(text, false, nullptr);
    if (!d) return 0;
    std::string s = (d->negative ? "-" : "") + (d->integer.empty() ? "0" : d->integer) + "." +
                    (d->fraction.empty() ? "0" : d->fraction);
    double value = 0;
    std::from_chars(s.data(), s.data() + s.size(), value);  // locale-independent, unlike strtod
    return value;
}

long long LeadingInteger(std::string_view text) {
    double v = LeadingNumber(text);
    if (v > 1e15) return 1000000000000000LL;
    if (v < -1e15) return -1000000000000000LL;
    return static_cast<long long>(v);
}

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
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const char text[9] = {kDigits[b[3] >> 4], kDigits[b[3] & 0xF], kDigits[b[2] >> 4], '.',
                          kDigits[b[2] & 0xF], kDigits[b[1] >> 4], kDigits[b[1] & 0xF],
                          kDigits[b[0] >> 4], kDigits[b[0] & 0xF]};
    return std::string(text, sizeof text);
}

bool IsNoFrequency(const std::uint8_t* b) {
    return b[0] == 0xFF && b[1] == 0xFF && b[2] == 0xFF && b[3] == 0xFF;
}

std::optional<std::uint16_t> EncodeTone(std::string_view t) {
    if (t.empty() || t == "Off") return kToneOff;
    if (t.size() == 5 && t[0] == 'D' && (t[4] == 'N' || t[4] == 'I')) {
        int c = 0;
        for (int k = 1; k <= 3; ++k) {
            if (t[k] < '0' || t[k] > '7') return std::nullopt;
            c = c * 8 + (t[k] - '0');
        }
        return static_cast<std::uint16_t>((t[4] == 'N' ? 0x2800 : 0xA800) + c);
    }
    // "D23N": a word 2000-203F (A000-A03F) a radio held, shown short; it goes back unchanged.
    if ((t.size() == 3 || t.size() == 4) && t[0] == 'D' && (t.back() == 'N' || t.back() == 'I')) {
        int c = 0;
        for (std::size_t k = 1; k + 1 < t.size(); ++k) {
            if (t[k] < '0' || t[k] > '7') return std::nullopt;
            c = c * 8 + (t[k] - '0');
        }
        return static_cast<std::uint16_t>((t.back() == 'N' ? 0x2000 : 0xA000) + c);
    }
    // CTCSS: digits, a point, one digit; the word is the tone in tenths of Hz.
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
        case 0: return "Off";
        case 1: return "Carrier";
        case 2: return "QT/DQT";
        default: return "";
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

std::optional<double> ParseFrequencyInput(std::string_view text) {
    bool all = false;
    auto d = ReadDecimal(text, true, &all);
    if (!d || !all) return std::nullopt;
    return static_cast<double>(UnitsOf(*d)) / 100000.0;
}

std::string RTurnNumber(std::string_view text) {
    auto d = ReadDecimal(text, true, nullptr);
    long long units = d ? UnitsOf(*d) : 0;
    if (units < 0) return FormatUnits(units);
    long long n = units % 10000;
    long long a = n % 625, b = n % 500;
    if (a != 0 && b != 0) units -= (a > b ? b : a);
    return FormatUnits(units);
}

double FloatMod(double s, double f) {
    if (f < s) return f;
    double q = f / s;
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, q, std::chars_format::general, 15).ptr;
    bool hasPoint = std::find(buf, end, '.') != end;
    if (!hasPoint) return 0;
    double n = std::floor(q);
    if (n < 1) n = 1;
    while (f - n * s >= s) n += 1;
    while (n > 1 && f - (n - 1) * s < s) n -= 1;
    return f - n * s;
}

std::string FormatFrequency(double mhz) {
    char buf[400];
    auto end = std::to_chars(buf, buf + sizeof buf, mhz, std::chars_format::fixed, 9).ptr;
    bool all = false;
    auto d = ReadDecimal(std::string_view(buf, end - buf), false, &all);
    if (!d) return "0.00000";
    long long units = UnitsOf(*d);
    if (units == 0) return "0.00000";
    return FormatUnits(units);
}

}  // namespace r7
