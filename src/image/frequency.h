#pragma once

// Frequencies as the radio resolves them (10 Hz) and the decimal texts they are typed,
// stored and exchanged in.

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace r7 {

class Frequency {
public:
    static constexpr long long kUnitsPerMhz = 100000;  // 10 Hz units

    constexpr Frequency() = default;
    static constexpr Frequency FromUnits(long long units) { return Frequency(units); }
    // Exact decimal MHz as a file carries it ("446.00625", " 446.006250"); nullopt when the
    // text is not a plain decimal number or is finer than 10 Hz.
    static std::optional<Frequency> FromExactText(std::string_view text);
    // As the user types it: blanks allowed, '.' or ',' as the decimal point, rounded half up
    // at the fifth decimal; nullopt unless the whole text is one number.
    static std::optional<Frequency> FromTyped(std::string_view text);

    constexpr long long units() const { return units_; }
    double mhz() const { return static_cast<double>(units_) / kUnitsPerMhz; }
    // "446.00625": at least three whole digits and five decimals.
    std::string text() const;

    // On the 5 kHz or the 6.25 kHz channel raster.
    bool onRaster() const;
    // Down to the nearer of the two rasters below, as RTurnNumber does.
    Frequency rasterBelow() const;

    friend constexpr Frequency operator+(Frequency a, Frequency b) {
        return Frequency(a.units_ + b.units_);
    }
    friend constexpr Frequency operator-(Frequency a, Frequency b) {
        return Frequency(a.units_ - b.units_);
    }
    friend constexpr auto operator<=>(Frequency a, Frequency b) = default;

private:
    constexpr explicit Frequency(long long units) : units_(units) {}
    long long units_ = 0;
};

// A plain decimal "123.4500" (blanks and tabs around allowed) as whole units of
// 10^-decimals; nullopt when the text is not such a number or holds non-zero digits beyond
// `decimals`.
std::optional<long long> FixedPoint(std::string_view text, int decimals);

// The leading decimal number of a text, as a user would read it: blanks are skipped,
// '.' is the decimal point; text with no leading number reads as 0.
double LeadingNumber(std::string_view text);

// Places a frequency text (a plain decimal number) on the 5 kHz / 6.25 kHz raster, always
// moving down: "435.0070" -> "435.00625". The input is rounded at the fifth decimal first.
std::string RTurnNumber(std::string_view text);
// The remainder of f by the step s, as the test-frequency dialog defines it.
double FloatMod(double s, double f);
// A number with exactly five decimals, rounded, '.' as the decimal point.
std::string FormatFrequency(double mhz);

}  // namespace r7
