#include "channel_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "conversions.h"
#include "setting_lists.h"

namespace r7 {

const std::array<std::string_view, kCsvColumnCount> kCsvColumnNames = {
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment"};

namespace {

constexpr long long kUnitsPerMhz = 100000;  // 10 Hz units
constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

std::string Lower(std::string_view s) {
    std::string out(Trim(s));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A plain decimal "123.4500" as whole units of 10^-decimals; nullopt when the text is not
// such a number or holds non-zero digits beyond `decimals`.
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

std::string CsvMhzText(long long units) {  // "446.006250", the six decimals of the format
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%05lld0", units / kUnitsPerMhz, units % kUnitsPerMhz);
    return buf;
}

bool OnRaster(long long units) {
    long long n = units % 10000;  // both steps divide 100 kHz
    return n % 625 == 0 || n % 500 == 0;
}

BandLimits LimitsOf(const EditorState& state) {
    const auto& bands = ComboEntries(1);
    int pos = state.combo(1);
    return BandLimitsOf(pos >= 0 && pos < static_cast<int>(bands.size()) ? bands[pos] : bands[0]);
}

std::string NumberText(double v) {
    char buf[64];
    auto end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, 6).ptr;
    return std::string(buf, end);  // like "%g", but never with the locale's decimal comma
}

// The reason a frequency text gives no 10 Hz value.
std::string UnreadableFrequency(std::string_view text) {
    if (!FixedPoint(text, 12)) return "not a frequency in MHz";
    return "not on the 5 kHz or 6.25 kHz channel raster (nearest below: " +
           RTurnNumber(Trim(text)) + ")";
}

// Why a frequency cannot be stored, or "" when it can.
std::string FrequencyFault(long long units, BandLimits limits) {
    long long lower = std::llround(limits.lower * kUnitsPerMhz);
    long long upper = std::llround(limits.upper * kUnitsPerMhz);
    if (units < lower || units >= upper) {
        return "out of band: the radio takes " + NumberText(limits.lower) + " to below " +
               NumberText(limits.upper) + " MHz";
    }
    if (!OnRaster(units)) {
        return "not on the 5 kHz or 6.25 kHz channel raster (nearest below: " +
               RTurnNumber(FrequencyTextOf(units)) + ")";
    }
    return "";
}

// A tone of one direction as the CSV describes it.
struct ToneChoice {
    enum Kind { None, Ctcss, Dcs } kind = None;
    std::string cell;  // "88.5", "D023N"
};

const std::vector<long long>& CtcssTenths() {
    static const std::vector<long long> list = [] {
        std::vector<long long> out;
        for (const auto& t : CtcssTones()) out.push_back(*FixedPoint(t, 1));
        return out;
    }();
    return list;
}

std::string OctalText(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03o", static_cast<unsigned>(code));
    return buf;
}

struct RowReader {
    const std::array<int, kCsvColumnCount>& index;
    const CsvLine& line;
    std::vector<CsvProblem>& problems;

    bool has(CsvColumn c) const { return index[c] >= 0; }
    std::string_view get(CsvColumn c) const {
        return has(c) ? std::string_view(line.fields[index[c]]) : std::string_view();
    }
    void fail(CsvColumn c, std::string_view value, std::string reason) {
        problems.push_back(
            {line.row, std::string(kCsvColumnNames[c]), std::string(value), std::move(reason)});
    }

    std::optional<ToneChoice> ctcss(CsvColumn c) {
        std::string_view text = get(c);
        auto tenths = FixedPoint(text, 1);
        if (!tenths) {
            fail(c, text, "not a CTCSS tone in Hz");
            return std::nullopt;
        }
        const auto& list = CtcssTenths();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list[i] == *tenths) return ToneChoice{ToneChoice::Ctcss, CtcssTones()[i]};
        }
        fail(c, text, "not one of the 50 CTCSS tones the radio offers (67.0 to 254.1 Hz)");
        return std::nullopt;
    }

    std::optional<ToneChoice> dcs(CsvColumn c, char polarity) {
        std::string_view text = Trim(get(c));
        int code = 0;
        bool octal = !text.empty() && text.size() <= 3;
        for (char ch : text) {
            octal = octal && ch >= '0' && ch <= '7';
            if (octal) code = code * 8 + (ch - '0');
        }
        if (!octal) {
            fail(c, get(c), "not a DCS code (three octal digits, such as 023)");
            return std::nullopt;
        }
        for (int known : DcsCodes()) {
            if (known == code) {
                return ToneChoice{ToneChoice::Dcs,
                                  "D" + OctalText(code) + (polarity == 'R' ? "I" : "N")};
            }
        }
        fail(c, get(c), "not one of the 105 DCS codes the radio offers");
        return std::nullopt;
    }

    // The two letters of DtcsPolarity, transmit first; "NN" when the column is missing.
    std::optional<std::string> polarity() {
        if (!has(CsvDtcsPolarity)) return "NN";
        const std::string p = Lower(get(CsvDtcsPolarity));
        auto letter = [](char c) { return c == 'n' || c == 'r'; };
        if (p.size() == 2 && letter(p[0]) && letter(p[1])) {
            return std::string{p[0] == 'r' ? 'R' : 'N', p[1] == 'r' ? 'R' : 'N'};
        }
        fail(CsvDtcsPolarity, get(CsvDtcsPolarity),
             "not NN, NR, RN or RR (transmit letter first, R = inverted)");
        return std::nullopt;
    }
};

std::optional<int> LocationOf(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.size() > 3) return std::nullopt;
    int n = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kChannelCount) return std::nullopt;
    return n;
}

// Builds the cells of one fully valid row; nullopt (with problems listed) otherwise.
std::optional<ChannelRow> MapRow(RowReader& r, const ChannelRow& previous, BandLimits limits) {
    const std::size_t before = r.problems.size();
    const bool wasInUse = !previous[ColReceive].empty();
    auto keepOr = [&](int column, const char* fallback) {
        return wasInUse ? previous[column] : std::string(fallback);
    };

    long long rx = FrequencyUnitsOf(r.get(CsvFrequency));
    if (rx < 0) {
        r.fail(CsvFrequency, r.get(CsvFrequency), UnreadableFrequency(r.get(CsvFrequency)));
    } else if (std::string fault = FrequencyFault(rx, limits); !fault.empty()) {
        r.fail(CsvFrequency, r.get(CsvFrequency), fault);
        rx = -1;
    }

    // Transmit frequency: -1 unknown (already reported).
    long long tx = rx;
    const std::string duplex = Lower(r.get(CsvDuplex));
    if (duplex == "off") {
        // A used channel without a transmit frequency is a state the editor never makes; the
        // radio would get a receive-only channel nobody asked it for, so it is refused.
        r.fail(CsvDuplex, r.get(CsvDuplex),
               "a channel without transmit frequency cannot be made here; use \"\" to transmit on "
               "the receive frequency, +, - or split");
    } else if (duplex == "+" || duplex == "-" || duplex == "split") {
        long long offset = FrequencyUnitsOf(r.get(CsvOffset));
        if (offset < 0) {
            r.fail(CsvOffset, r.get(CsvOffset), UnreadableFrequency(r.get(CsvOffset)));
            tx = -1;
        } else if (rx >= 0 || duplex == "split") {
            tx = duplex == "split" ? offset : duplex == "+" ? rx + offset : rx - offset;
            std::string fault =
                tx < 0 ? "transmit frequency below 0 MHz" : FrequencyFault(tx, limits);
            if (!fault.empty()) {
                if (tx >= 0 && duplex != "split") {
                    fault = "transmit frequency " + FrequencyTextOf(tx) + " " + fault;
                }
                r.fail(CsvOffset, r.get(CsvOffset), fault);
                tx = -1;
            }
        }
    } else if (!duplex.empty()) {
        r.fail(CsvDuplex, r.get(CsvDuplex), "unknown duplex: use \"\", +, -, split or off");
    }

    // Tones: left of "->" transmit (encode), right receive (decode).
    std::optional<ToneChoice> txTone = ToneChoice{}, rxTone = ToneChoice{};
    const std::string tone = Lower(r.get(CsvTone));
    if (tone == "tone") {
        txTone = r.ctcss(CsvRToneFreq);
    } else if (tone == "tsql") {
        txTone = rxTone = r.ctcss(CsvCToneFreq);
    } else if (tone == "dtcs") {
        if (auto pol = r.polarity()) {
            txTone = r.dcs(CsvDtcsCode, (*pol)[0]);
            if (txTone) rxTone = r.dcs(CsvDtcsCode, (*pol)[1]);
        }
    } else if (tone == "cross") {
        const std::string cross = Lower(r.get(CsvCrossMode));
        std::size_t arrow = cross.find("->");
        std::string left = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
        std::string right = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
        auto known = [](const std::string& side) {
            return side.empty() || side == "tone" || side == "dtcs";
        };
        if (!known(left) || !known(right) || (left.empty() && right.empty())) {
            r.fail(CsvCrossMode, r.get(CsvCrossMode),
                   "unknown cross mode: use Tone->Tone, Tone->DTCS, DTCS->Tone, ->Tone, "
                   "->DTCS, DTCS-> or DTCS->DTCS");
        } else {
            std::optional<std::string> pol = "NN";
            if (left == "dtcs" || right == "dtcs") pol = r.polarity();
            if (pol) {
                if (left == "tone") txTone = r.ctcss(CsvRToneFreq);
                if (left == "dtcs") txTone = r.dcs(CsvDtcsCode, (*pol)[0]);
                if (right == "tone") rxTone = r.ctcss(CsvCToneFreq);
                if (right == "dtcs") rxTone = r.dcs(CsvRxDtcsCode, (*pol)[1]);
            }
        }
    } else if (!tone.empty()) {
        r.fail(CsvTone, r.get(CsvTone), "unknown tone mode: use \"\", Tone, TSQL, DTCS or Cross");
    }

    std::string band = keepOr(ColBand, "Wide");
    const std::string mode = Lower(r.get(CsvMode));
    if (mode == "fm") {
        band = "Wide";
    } else if (mode == "nfm") {
        band = "Narrow";
    } else if (!mode.empty()) {
        r.fail(CsvMode, r.get(CsvMode), "the radio offers FM (Wide) and NFM (Narrow) only");
    }

    std::string scan = keepOr(ColScan, "No");
    if (r.has(CsvSkip)) {
        const std::string skip = Lower(r.get(CsvSkip));
        if (skip.empty()) {
            scan = "Have";
        } else if (skip == "s") {
            scan = "No";
        } else if (skip == "p") {
            r.fail(CsvSkip, r.get(CsvSkip), "the radio has no priority scan; use \"\" or S");
        } else {
            r.fail(CsvSkip, r.get(CsvSkip), "unknown skip: use \"\" (scanned) or S (skipped)");
        }
    }

    std::string power = keepOr(ColPower, "Low");
    const std::string powerText = Lower(r.get(CsvPower));
    if (powerText == "high" || powerText == "low") {
        power = powerText == "high" ? "High" : "Low";
    } else if (!powerText.empty()) {
        std::string_view watts = powerText;
        if (watts.back() == 'w') watts.remove_suffix(1);
        auto centiwatts = FixedPoint(watts, 2);
        if (centiwatts) {
            power = *centiwatts >= std::llround(kHighPowerWatts * 100) ? "High" : "Low";
        } else {
            r.fail(CsvPower, r.get(CsvPower), "not High, Low or a power in watts such as 5.0W");
        }
    }

    if (r.problems.size() != before || !txTone || !rxTone) return std::nullopt;

    ChannelRow cells = previous;
    cells[ColReceive] = FrequencyTextOf(rx);
    cells[ColTransmit] = FrequencyTextOf(tx);
    cells[ColDecode] = rxTone->kind == ToneChoice::None ? "Off" : rxTone->cell;
    cells[ColEncode] = txTone->kind != ToneChoice::None ? txTone->cell : "Off";
    cells[ColPower] = power;
    cells[ColBusyLock] = keepOr(ColBusyLock, "Off");
    cells[ColBand] = band;
    cells[ColScan] = scan;
    return cells;
}

struct ExportTone {
    ToneChoice::Kind kind = ToneChoice::None;
    std::string ctcss;  // "88.5"
    std::string code;   // "023"
    char polarity = 'N';
};

ExportTone ClassifyTone(const std::string& cell, bool* odd) {
    if (cell.empty() || cell == "Off") return {};
    if (cell.size() == 5 && cell[0] == 'D' && (cell[4] == 'N' || cell[4] == 'I')) {
        return {ToneChoice::Dcs, "", cell.substr(1, 3), cell[4] == 'I' ? 'R' : 'N'};
    }
    const auto& tones = CtcssTones();
    *odd = *odd || std::find(tones.begin(), tones.end(), cell) == tones.end();
    return {ToneChoice::Ctcss, cell, "", 'N'};
}

}  // namespace

long long FrequencyUnitsOf(std::string_view mhz) {
    auto units = FixedPoint(mhz, 5);
    return units ? *units : -1;
}

std::string FrequencyTextOf(long long units) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%03lld.%05lld", units / kUnitsPerMhz, units % kUnitsPerMhz);
    return buf;
}

std::string CsvProblem::text() const {
    std::string out = row > 0 ? "line " + std::to_string(row) : "file";
    if (!field.empty()) {
        out += ", " + field + " \"" + value + "\"";
    } else if (!value.empty()) {
        out += ", " + value;
    }
    return out + ": " + reason;
}

std::string CsvImportReport::text() const {
    std::string out;
    for (const auto& p : problems) out += p.text() + "\n";
    if (fatal) return out + "nothing imported\n";
    if (namesDropped) out += "Names and comments are not stored: the radio keeps no channel names\n";
    out += std::to_string(stored.size()) + (stored.size() == 1 ? " channel" : " channels") +
           " stored, " + std::to_string(refusedRows) + (refusedRows == 1 ? " row" : " rows") +
           " refused\n";
    return out;
}

CsvImportReport ImportCsvRecords(const std::vector<CsvLine>& lines, EditorState& state, bool renumber) {
    CsvImportReport report;
    auto fatal = [&](int row, std::string reason) {
        report.fatal = true;
        report.problems.push_back({row, "", "", std::move(reason)});
        return report;
    };
    std::string expected;
    for (auto name : kCsvColumnNames) expected += (expected.empty() ? "" : ",") + std::string(name);
    if (lines.empty()) return fatal(0, "no header line; the first line must be " + expected);

    const CsvLine& header = lines.front();
    std::array<int, kCsvColumnCount> index;
    index.fill(-1);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        std::string_view name = header.fields[i];
        if (i == 0 && name.substr(0, kBom.size()) == kBom) name.remove_prefix(kBom.size());
        const std::string key = Lower(name);
        for (int c = 0; c < kCsvColumnCount; ++c) {
            if (key != Lower(kCsvColumnNames[c])) continue;
            if (index[c] >= 0) {
                return fatal(header.row, "column " + std::string(kCsvColumnNames[c]) +
                                             " appears twice in the header");
            }
            index[c] = static_cast<int>(i);
        }
    }
    if (index[CsvLocation] < 0 || index[CsvFrequency] < 0) {
        return fatal(header.row,
                     "the header needs the columns Location and Frequency; expected " + expected);
    }

    const BandLimits limits = LimitsOf(state);
    const EditorState before = state;
    EditorState after = state;
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        for (int col = ColReceive; col <= ColScan; ++col) after.cell(ch, col).clear();
    }
    std::array<int, kChannelCount + 1> claimedBy{};  // line that named each channel first

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const CsvLine& line = lines[i];
        std::vector<CsvProblem> problems;
        RowReader r{index, line, problems};
        const bool complete = line.fields.size() == header.fields.size();
        const int locationIndex = index[CsvLocation];
        std::string_view locationText = locationIndex < static_cast<int>(line.fields.size())
                                            ? std::string_view(line.fields[locationIndex])
                                            : std::string_view();
        std::optional<int> channel = LocationOf(locationText);
        if (Trim(locationText) == "0") report.locationZero = true;
        if (renumber) channel = i <= static_cast<std::size_t>(kChannelCount) ? std::optional<int>(static_cast<int>(i)) : std::nullopt;

        if (!complete) {
            problems.push_back({line.row, "", std::to_string(line.fields.size()) + " fields",
                                "the header has " + std::to_string(header.fields.size())});
        }
        if (i > static_cast<std::size_t>(kChannelCount)) {
            problems.push_back({line.row, "", "",
                                "the radio holds only 16 channels; this is row " +
                                    std::to_string(i) + " of the table"});
        }
        if (!channel) {
            if (complete && !renumber) r.fail(CsvLocation, locationText, "not a channel: the radio has 1 to 16");
        } else if (claimedBy[*channel] != 0) {
            if (complete) {
                r.fail(CsvLocation, locationText,
                       "channel already given on line " + std::to_string(claimedBy[*channel]));
            }
            channel.reset();  // the first row naming it decides
        } else {
            claimedBy[*channel] = line.row;
        }

        if (complete && (!Trim(r.get(CsvName)).empty() || !Trim(r.get(CsvComment)).empty())) report.namesDropped = true;
        std::optional<ChannelRow> cells;
        if (complete) {
            cells = MapRow(r, before.rows[channel.value_or(1) - 1], limits);
        }
        if (cells && problems.empty()) {
            cells->at(ColChannel) = after.cell(*channel, ColChannel);
            after.rows[*channel - 1] = *cells;
            report.stored.push_back(*channel);
            continue;
        }
        ++report.refusedRows;
        if (channel) after.rows[*channel - 1] = before.rows[*channel - 1];
        report.problems.insert(report.problems.end(), problems.begin(), problems.end());
    }
    state = after;
    return report;
}

std::vector<std::vector<std::string>> CsvRecordsOfChannels(const EditorState& state,
                                                           std::vector<std::string>* problems) {
    std::vector<std::vector<std::string>> out;
    out.emplace_back(kCsvColumnNames.begin(), kCsvColumnNames.end());
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (state.channelEmpty(ch)) continue;
        std::vector<std::string> f(kCsvColumnCount);
        bool odd = false;
        f[CsvLocation] = std::to_string(ch);

        const std::string& rxText = state.cell(ch, ColReceive);
        const std::string& txText = state.cell(ch, ColTransmit);
        long long rx = IsFrequencyText(rxText) ? FrequencyUnitsOf(rxText) : -1;
        long long tx = IsFrequencyText(txText) ? FrequencyUnitsOf(txText) : -1;
        odd = rx < 0 || (!txText.empty() && tx < 0);
        f[CsvFrequency] = rx >= 0 ? CsvMhzText(rx) : rxText;
        f[CsvOffset] = "0.000000";
        if (txText.empty()) {
            f[CsvDuplex] = "off";
        } else if (rx < 0 || tx < 0) {
            f[CsvDuplex] = "split";
            f[CsvOffset] = tx >= 0 ? CsvMhzText(tx) : txText;
        } else if (tx != rx) {
            f[CsvDuplex] = tx > rx ? "+" : "-";
            f[CsvOffset] = CsvMhzText(tx > rx ? tx - rx : rx - tx);
        }

        ExportTone enc = ClassifyTone(state.cell(ch, ColEncode), &odd);
        ExportTone dec = ClassifyTone(state.cell(ch, ColDecode), &odd);
        using K = ToneChoice;
        f[CsvRToneFreq] = enc.kind == K::Ctcss ? enc.ctcss : "88.5";
        f[CsvCToneFreq] = dec.kind == K::Ctcss ? dec.ctcss : "88.5";
        f[CsvDtcsCode] = enc.kind == K::Dcs ? enc.code : "023";
        f[CsvRxDtcsCode] = dec.kind == K::Dcs ? dec.code : "023";
        f[CsvDtcsPolarity] = std::string{enc.polarity, dec.polarity};
        f[CsvCrossMode] = "Tone->Tone";
        if (enc.kind == K::None && dec.kind == K::None) {
            f[CsvTone] = "";
        } else if (enc.kind == K::Ctcss && dec.kind == K::None) {
            f[CsvTone] = "Tone";
        } else if (enc.kind == K::Ctcss && dec.kind == K::Ctcss && enc.ctcss == dec.ctcss) {
            f[CsvTone] = "TSQL";
        } else if (enc.kind == K::Dcs && dec.kind == K::Dcs && enc.code == dec.code) {
            f[CsvTone] = "DTCS";
        } else {
            auto side = [](const ExportTone& t) {
                return t.kind == K::Ctcss ? "Tone" : t.kind == K::Dcs ? "DTCS" : "";
            };
            f[CsvTone] = "Cross";
            f[CsvCrossMode] = std::string(side(enc)) + "->" + side(dec);
        }

        f[CsvMode] = state.cell(ch, ColBand) == "Narrow" ? "NFM" : "FM";
        f[CsvTStep] = rx >= 0 && rx % 500 != 0 ? "6.25" : "5.00";
        f[CsvSkip] = state.cell(ch, ColScan) == "Have" ? "" : "S";
        // An empty power cell goes to the radio as High.
        f[CsvPower] = state.cell(ch, ColPower) == "Low" ? "Low" : "High";
        if (odd && problems) {
            problems->push_back("channel " + ChannelNumberText(ch) +
                                " holds texts the radio's lists do not have; written as they are");
        }
        out.push_back(std::move(f));
    }
    return out;
}

}  // namespace r7
