#include "test_frequency_rules.h"

#include "conversions.h"

namespace r7 {

namespace {
constexpr double kStep5 = 0.005;
constexpr double kStep625 = 0.00625;
}  // namespace

std::string SnapTestReceive(std::string_view typed) {
    double f = LeadingNumber(typed);
    double r5 = FloatMod(kStep5, f);
    double r625 = FloatMod(kStep625, f);
    return FormatFrequency(r5 >= r625 ? f - r625 : f - r5);
}

std::string SnapTestTransmit(std::string_view typed) {
    double f = LeadingNumber(typed);
    if (FloatMod(kStep625, f) == 0) return FormatFrequency(f);
    return FormatFrequency(f - FloatMod(kStep5, f));
}

bool FitsTestFrequency(std::string_view t) {
    if (t.size() != 9 || t[3] != '.' || t[0] == '0') return false;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i != 3 && (t[i] < '0' || t[i] > '9')) return false;
    }
    return true;
}

bool CanEditTestFrequency(const TestFrequencyPair& row, int column) {
    if (column == 1) return true;
    return column == 2 && !row.receive.empty();
}

TestFrequencyPair ApplyTestFrequencyEdit(const TestFrequencyPair& row, int column,
                                         std::string_view typed) {
    if (!CanEditTestFrequency(row, column)) return row;
    TestFrequencyPair out = row;
    if (column == 1) {
        if (typed.empty()) return {};
        std::string snapped = SnapTestReceive(typed);
        if (!FitsTestFrequency(snapped)) return row;
        out.receive = snapped;
        out.transmit = snapped;
        return out;
    }
    if (typed.empty()) {
        out.transmit = row.receive;
        return out;
    }
    std::string snapped = SnapTestTransmit(typed);
    if (!FitsTestFrequency(snapped)) return row;
    out.transmit = snapped;
    return out;
}

}  // namespace r7
