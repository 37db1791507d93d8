#include "frequency.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "ascii_text.h"

namespace r7 {

namespace {

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
        if (IsDigit(c)) {
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

std::optional<Frequency> Frequency::FromExactText(std::string_view text) {
    auto units = FixedPoint(text, 5);
    if (!units) return std::nullopt;
    return Frequency(*units);
}

std::optional<Frequency> Frequency::FromTyped(std::string_view text) {
    bool all = false;
    auto d = ReadDecimal(text, true, &all);
    if (!d || !all) return std::nullopt;
    return Frequency(UnitsOf(*d));
}

std::string Frequency::text() const {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03lld.%05lld", units_ / kUnitsPerMhz, units_ % kUnitsPerMhz);
    return buf;
}

bool Frequency::onRaster() const {
    const long long n = units_ % 10000;  // both steps divide 100 kHz
    return n % 625 == 0 || n % 500 == 0;
}

Frequency Frequency::rasterBelow() const {
    if (units_ < 0) return *this;
    const long long n = units_ % 10000;
    const long long a = n % 625, b = n % 500;
    if (a == 0 || b == 0) return *this;
    return Frequency(units_ - std::min(a, b));
}

std::optional<long long> FixedPoint(std::string_view text, int decimals) {
    text = Trim(text);
    std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    if (whole.empty() && fraction.empty()) return std::nullopt;
    if (whole.size() > 9) return std::nullopt;
    long long value = 0;
    for (char c : whole) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    for (int i = 0; i < decimals; ++i) {
        char c = i < static_cast<int>(fraction.size()) ? fraction[i] : '0';
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    for (std::size_t i = decimals; i < fraction.size(); ++i) {
        if (!IsDigit(fraction[i]) || fraction[i] != '0') return std::nullopt;
    }
    return value;
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
std::string RTurnNumber(std::string_view text) {
    auto d = ReadDecimal(text, true, nullptr);
    return FormatUnits(Frequency::FromUnits(d ? UnitsOf(*d) : 0).rasterBelow().units());
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
