#include "channel_import.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "ascii_text.h"
#include "conversions.h"
#include "setting_lists.h"

namespace r7 {

const std::array<std::string_view, kCsvColumnCount> kCsvColumnNames = {
    "Location",  "Name",      "Frequency", "Duplex",       "Offset",     "Tone",
    "rToneFreq", "cToneFreq", "DtcsCode",  "DtcsPolarity", "RxDtcsCode", "CrossMode",
    "Mode",      "TStep",     "Skip",      "Power",        "Comment"};

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

std::string Lower(std::string_view s) {
    std::string out(Trim(s));
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
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
std::string FrequencyFault(Frequency f, BandLimits limits) {
    if (!limits.holds(f)) {
        return "out of band: the radio takes " + NumberText(limits.lower) + " to below " +
               NumberText(limits.upper) + " MHz";
    }
    if (!f.onRaster()) {
        return "not on the 5 kHz or 6.25 kHz channel raster (nearest below: " +
               RTurnNumber(f.text()) + ")";
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

using ColumnIndex = std::array<int, kCsvColumnCount>;

// Finds each known column in the header line; the reason when the file cannot be read as a
// channel table, "" when it can.
std::string IndexOfHeader(const std::vector<CsvLine>& lines, ColumnIndex& index) {
    std::string expected;
    for (auto name : kCsvColumnNames) expected += (expected.empty() ? "" : ",") + std::string(name);
    if (lines.empty()) return "no header line; the first line must be " + expected;
    const CsvLine& header = lines.front();
    index.fill(-1);
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        std::string_view name = header.fields[i];
        if (i == 0 && name.substr(0, kBom.size()) == kBom) name.remove_prefix(kBom.size());
        const std::string key = Lower(name);
        for (int c = 0; c < kCsvColumnCount; ++c) {
            if (key != Lower(kCsvColumnNames[c])) continue;
            if (index[c] >= 0)
                return "column " + std::string(kCsvColumnNames[c]) + " appears twice in the header";
            index[c] = static_cast<int>(i);
        }
    }
    if (index[CsvLocation] < 0 || index[CsvFrequency] < 0) {
        return "the header needs the columns Location and Frequency; expected " + expected;
    }
    return "";
}

// Which rows go to which channels: the channel a row names, or with `renumber` its place in
// the table; the first row naming a channel decides.
struct ChannelClaims {
    bool renumber = false;
    bool locationZero = false;                       // a row named Location 0
    std::array<int, kChannelCount + 1> claimedBy{};  // line that named each channel first

    // The channel of the row'th row of the table, when no earlier row took it. A problem is
    // listed only for a row of the header's length.
    std::optional<int> claim(RowReader& r, std::size_t row, bool complete);
};

std::optional<int> ChannelClaims::claim(RowReader& r, std::size_t row, bool complete) {
    const int at = r.index[CsvLocation];
    const std::string_view text = at < static_cast<int>(r.line.fields.size())
                                      ? std::string_view(r.line.fields[at])
                                      : std::string_view();
    std::optional<int> channel = LocationOf(text);
    if (Trim(text) == "0") locationZero = true;
    if (renumber) {
        channel = row <= static_cast<std::size_t>(kChannelCount)
                      ? std::optional<int>(static_cast<int>(row))
                      : std::nullopt;
    }
    if (!channel) {
        if (complete && !renumber)
            r.fail(CsvLocation, text, "not a channel: the radio has 1 to 16");
        return std::nullopt;
    }
    if (claimedBy[*channel] != 0) {
        if (complete)
            r.fail(CsvLocation, text,
                   "channel already given on line " + std::to_string(claimedBy[*channel]));
        return std::nullopt;
    }
    claimedBy[*channel] = r.line.row;
    return channel;
}

// Each column parser lists its own problems in `r` and gives what the row may store.

std::optional<Frequency> ReceiveOf(RowReader& r, BandLimits limits) {
    const std::string_view text = r.get(CsvFrequency);
    const auto rx = Frequency::FromExactText(text);
    if (!rx) {
        r.fail(CsvFrequency, text, UnreadableFrequency(text));
        return std::nullopt;
    }
    if (std::string fault = FrequencyFault(*rx, limits); !fault.empty()) {
        r.fail(CsvFrequency, text, fault);
        return std::nullopt;
    }
    return rx;
}

// Duplex and Offset; nothing when they give no transmit frequency (a problem is listed, or
// the receive frequency it depends on was refused already).
std::optional<Frequency> TransmitOf(RowReader& r, std::optional<Frequency> rx, BandLimits limits) {
    const std::string duplex = Lower(r.get(CsvDuplex));
    if (duplex.empty()) return rx;
    const bool split = duplex == "split";
    if (!split && duplex != "+" && duplex != "-") {
        r.fail(CsvDuplex, r.get(CsvDuplex), "unknown duplex: use \"\", +, -, split or off");
        return std::nullopt;
    }
    const auto offset = Frequency::FromExactText(r.get(CsvOffset));
    if (!offset) {
        r.fail(CsvOffset, r.get(CsvOffset), UnreadableFrequency(r.get(CsvOffset)));
        return std::nullopt;
    }
    if (!rx && !split) return std::nullopt;
    const Frequency tx = split ? *offset : duplex == "+" ? *rx + *offset : *rx - *offset;
    const bool negative = tx < Frequency();
    std::string fault = negative ? "transmit frequency below 0 MHz" : FrequencyFault(tx, limits);
    if (fault.empty()) return tx;
    if (!negative && !split) fault = "transmit frequency " + tx.text() + " " + fault;
    r.fail(CsvOffset, r.get(CsvOffset), fault);
    return std::nullopt;
}

// Tones of both directions; a direction is nothing when its tone was refused.
struct TonePair {
    std::optional<ToneChoice> transmit = ToneChoice{};  // encode
    std::optional<ToneChoice> receive = ToneChoice{};   // decode
};

// CrossMode: left of "->" transmit, right receive.
TonePair CrossTonesOf(RowReader& r) {
    TonePair tones;
    const std::string cross = Lower(r.get(CsvCrossMode));
    const std::size_t arrow = cross.find("->");
    const std::string left = arrow == std::string::npos ? "?" : cross.substr(0, arrow);
    const std::string right = arrow == std::string::npos ? "?" : cross.substr(arrow + 2);
    auto known = [](const std::string& side) {
        return side.empty() || side == "tone" || side == "dtcs";
    };
    if (!known(left) || !known(right) || (left.empty() && right.empty())) {
        r.fail(CsvCrossMode, r.get(CsvCrossMode),
               "unknown cross mode: use Tone->Tone, Tone->DTCS, DTCS->Tone, ->Tone, "
               "->DTCS, DTCS-> or DTCS->DTCS");
        return tones;
    }
    std::optional<std::string> pol = "NN";
    if (left == "dtcs" || right == "dtcs") pol = r.polarity();
    if (!pol) return tones;
    if (left == "tone") tones.transmit = r.ctcss(CsvRToneFreq);
    if (left == "dtcs") tones.transmit = r.dcs(CsvDtcsCode, (*pol)[0]);
    if (right == "tone") tones.receive = r.ctcss(CsvCToneFreq);
    if (right == "dtcs") tones.receive = r.dcs(CsvRxDtcsCode, (*pol)[1]);
    return tones;
}

TonePair TonesOf(RowReader& r) {
    TonePair tones;
    const std::string tone = Lower(r.get(CsvTone));
    if (tone == "tone") {
        tones.transmit = r.ctcss(CsvRToneFreq);
    } else if (tone == "tsql") {
        tones.transmit = tones.receive = r.ctcss(CsvCToneFreq);
    } else if (tone == "dtcs") {
        if (auto pol = r.polarity()) {
            tones.transmit = r.dcs(CsvDtcsCode, (*pol)[0]);
            if (tones.transmit) tones.receive = r.dcs(CsvDtcsCode, (*pol)[1]);
        }
    } else if (tone == "cross") {
        tones = CrossTonesOf(r);
    } else if (!tone.empty()) {
        r.fail(CsvTone, r.get(CsvTone), "unknown tone mode: use \"\", Tone, TSQL, DTCS or Cross");
    }
    return tones;
}

std::string ToneCell(const std::optional<ToneChoice>& tone) {
    return tone->kind == ToneChoice::None ? "Off" : tone->cell;
}

std::string BandOf(RowReader& r, std::string kept) {
    const std::string mode = Lower(r.get(CsvMode));
    if (mode == "fm") return "Wide";
    if (mode == "nfm") return "Narrow";
    if (!mode.empty())
        r.fail(CsvMode, r.get(CsvMode), "the radio offers FM (Wide) and NFM (Narrow) only");
    return kept;
}

std::string ScanOf(RowReader& r, std::string kept) {
    if (!r.has(CsvSkip)) return kept;
    const std::string skip = Lower(r.get(CsvSkip));
    if (skip.empty()) return "Have";
    if (skip == "s") return "No";
    if (skip == "p") {
        r.fail(CsvSkip, r.get(CsvSkip), "the radio has no priority scan; use \"\" or S");
    } else {
        r.fail(CsvSkip, r.get(CsvSkip), "unknown skip: use \"\" (scanned) or S (skipped)");
    }
    return kept;
}

std::string PowerOf(RowReader& r, std::string kept) {
    const std::string power = Lower(r.get(CsvPower));
    if (power.empty()) return kept;
    if (power == "high") return "High";
    if (power == "low") return "Low";
    std::string_view watts = power;
    if (watts.back() == 'w') watts.remove_suffix(1);
    if (auto centiwatts = FixedPoint(watts, 2)) {
        return *centiwatts >= std::llround(kHighPowerWatts * 100) ? "High" : "Low";
    }
    r.fail(CsvPower, r.get(CsvPower), "not High, Low or a power in watts such as 5.0W");
    return kept;
}

// Builds the cells of one fully valid row; nullopt (with problems listed) otherwise.
std::optional<ChannelRow> MapRow(RowReader& r, const ChannelRow& previous, BandLimits limits) {
    const std::size_t before = r.problems.size();
    const bool wasInUse = !previous[ColReceive].empty();
    auto keepOr = [&](int column, const char* fallback) {
        return wasInUse ? previous[column] : std::string(fallback);
    };
    const auto rx = ReceiveOf(r, limits);
    const bool receiveOnly = Lower(r.get(CsvDuplex)) == "off";
    const auto tx = receiveOnly ? std::nullopt : TransmitOf(r, rx, limits);
    const TonePair tones = TonesOf(r);
    std::string band = BandOf(r, keepOr(ColBand, "Wide"));
    std::string scan = ScanOf(r, keepOr(ColScan, "No"));
    std::string power = PowerOf(r, keepOr(ColPower, "Low"));
    if (r.problems.size() != before || !rx || (!tx && !receiveOnly) || !tones.transmit ||
        !tones.receive) {
        return std::nullopt;
    }

    ChannelRow cells = previous;
    cells[ColReceive] = rx->text();
    cells[ColTransmit] = receiveOnly ? std::string() : tx->text();
    cells[ColDecode] = ToneCell(tones.receive);
    // Without a transmit frequency an encode word FFFF reads back as an empty cell.
    cells[ColEncode] = receiveOnly && tones.transmit->kind == ToneChoice::None
                           ? std::string()
                           : ToneCell(tones.transmit);
    cells[ColPower] = std::move(power);
    cells[ColBusyLock] = keepOr(ColBusyLock, "Off");
    cells[ColBand] = std::move(band);
    cells[ColScan] = std::move(scan);
    return cells;
}

}  // namespace

std::string CsvProblem::text() const {
    std::string out = row > 0 ? "line " + std::to_string(row) : "file";
    if (!field.empty()) {
        out += ", " + field + " \"" + value + "\"";
    } else if (!value.empty()) {
        out += ", " + value;
    }
    return out + ": " + reason;
}

std::string CsvImportReport::text(std::size_t maxProblems) const {
    std::string out;
    for (std::size_t i = 0; i < problems.size() && i < maxProblems; ++i)
        out += problems[i].text() + "\n";
    if (problems.size() > maxProblems)
        out += "... and " + std::to_string(problems.size() - maxProblems) + " more\n";
    if (fatal) return out + "nothing imported\n";
    if (namesDropped)
        out += "Names and comments are not stored: the radio keeps no channel names\n";
    out += std::to_string(stored.size()) + (stored.size() == 1 ? " channel" : " channels") +
           " stored, ";
    if (receiveOnly > 0)
        out += "of them " + std::to_string(receiveOnly) + " receive-only (Duplex off), ";
    out += std::to_string(refusedRows) + (refusedRows == 1 ? " row" : " rows") + " refused\n";
    return out;
}

CsvImportReport ImportCsvRecords(const std::vector<CsvLine>& lines, EditorState& state,
                                 bool renumber) {
    CsvImportReport report;
    ColumnIndex index;
    if (std::string fault = IndexOfHeader(lines, index); !fault.empty()) {
        report.fatal = true;
        report.problems.push_back(
            {lines.empty() ? 0 : lines.front().row, "", "", std::move(fault)});
        return report;
    }
    const BandLimits limits = BandLimitsOf(state);
    const EditorState before = state;
    EditorState after = state;
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        for (int col = ColReceive; col <= ColScan; ++col) after.cell(ch, col).clear();
    }
    ChannelClaims claims{renumber};
    const std::size_t headerFields = lines.front().fields.size();

    for (std::size_t i = 1; i < lines.size(); ++i) {
        const CsvLine& line = lines[i];
        std::vector<CsvProblem> problems;
        RowReader r{index, line, problems};
        const bool complete = line.fields.size() == headerFields;
        if (!complete) {
            problems.push_back({line.row, "", std::to_string(line.fields.size()) + " fields",
                                "the header has " + std::to_string(headerFields)});
        }
        if (i > static_cast<std::size_t>(kChannelCount)) {
            problems.push_back({line.row, "", "",
                                "the radio holds only 16 channels; this is row " +
                                    std::to_string(i) + " of the table"});
        }
        const std::optional<int> channel = claims.claim(r, i, complete);
        if (complete && (!Trim(r.get(CsvName)).empty() || !Trim(r.get(CsvComment)).empty())) {
            report.namesDropped = true;
        }
        std::optional<ChannelRow> cells;
        if (complete) cells = MapRow(r, before.rows[channel.value_or(1) - 1], limits);
        if (cells && problems.empty()) {
            cells->at(ColChannel) = after.cell(*channel, ColChannel);
            report.receiveOnly += cells->at(ColTransmit).empty() ? 1 : 0;
            after.rows[*channel - 1] = *cells;
            report.stored.push_back(*channel);
            continue;
        }
        ++report.refusedRows;
        if (channel) after.rows[*channel - 1] = before.rows[*channel - 1];
        report.problems.insert(report.problems.end(), problems.begin(), problems.end());
    }
    report.locationZero = claims.locationZero;
    state = after;
    return report;
}

CsvChannelRows MapCsvRecords(const std::vector<CsvLine>& lines, BandLimits limits) {
    CsvChannelRows out;
    ColumnIndex index;
    out.fault = IndexOfHeader(lines, index);
    if (!out.fault.empty()) return out;
    const ChannelRow empty{};
    for (std::size_t i = 1; i < lines.size(); ++i) {
        RowReader r{index, lines[i], out.problems};
        if (lines[i].fields.size() != lines.front().fields.size()) {
            out.problems.push_back(
                {lines[i].row, "", std::to_string(lines[i].fields.size()) + " fields",
                 "the header has " + std::to_string(lines.front().fields.size())});
            out.rows.emplace_back();
            continue;
        }
        out.rows.push_back(MapRow(r, empty, limits));
    }
    return out;
}

}  // namespace r7
