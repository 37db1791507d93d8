#include "channel_export.h"

#include <algorithm>
#include <cstdio>

#include "conversions.h"
#include "setting_lists.h"

namespace r7 {

namespace {

std::string CsvMhzText(Frequency f) {  // "446.006250", the six decimals of the format
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lld.%05lld0", f.units() / Frequency::kUnitsPerMhz,
                  f.units() % Frequency::kUnitsPerMhz);
    return buf;
}

// A tone cell of a channel in the terms of the format's columns.
struct ExportTone {
    enum Kind { None, Ctcss, Dcs } kind = None;
    std::string ctcss;  // "88.5"
    std::string code;   // "023"
    char polarity = 'N';
};

ExportTone ClassifyTone(const std::string& cell, bool* odd) {
    if (cell.empty() || cell == "Off") return {};
    if (cell.size() == 5 && cell[0] == 'D' && (cell[4] == 'N' || cell[4] == 'I')) {
        return {ExportTone::Dcs, "", cell.substr(1, 3), cell[4] == 'I' ? 'R' : 'N'};
    }
    const auto& tones = CtcssTones();
    *odd = *odd || std::find(tones.begin(), tones.end(), cell) == tones.end();
    return {ExportTone::Ctcss, cell, "", 'N'};
}

// Frequency, Duplex, Offset and TStep of a channel; false when its frequency texts are not
// in the nine-character form (they are then written as they are).
bool PutFrequencies(std::vector<std::string>& f, const std::string& rxText,
                    const std::string& txText) {
    auto exact = [](const std::string& text) {
        return IsFrequencyText(text) ? Frequency::FromExactText(text) : std::nullopt;
    };
    const auto rx = exact(rxText);
    const auto tx = exact(txText);
    f[CsvFrequency] = rx ? CsvMhzText(*rx) : rxText;
    f[CsvOffset] = "0.000000";
    f[CsvTStep] = rx && rx->units() % 500 != 0 ? "6.25" : "5.00";
    if (txText.empty()) {
        f[CsvDuplex] = "off";
    } else if (!rx || !tx) {
        f[CsvDuplex] = "split";
        f[CsvOffset] = tx ? CsvMhzText(*tx) : txText;
    } else if (*tx != *rx) {
        f[CsvDuplex] = *tx > *rx ? "+" : "-";
        f[CsvOffset] = CsvMhzText(*tx > *rx ? *tx - *rx : *rx - *tx);
    }
    return rx && (txText.empty() || tx);
}

// Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode and CrossMode.
void PutTones(std::vector<std::string>& f, const ExportTone& enc, const ExportTone& dec) {
    using K = ExportTone;
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
}

std::vector<std::string> RecordOfChannel(const EditorState& state, int ch, bool* odd) {
    std::vector<std::string> f(kCsvColumnCount);
    f[CsvLocation] = std::to_string(ch);
    *odd = !PutFrequencies(f, state.cell(ch, ColReceive), state.cell(ch, ColTransmit));
    const ExportTone enc = ClassifyTone(state.cell(ch, ColEncode), odd);
    const ExportTone dec = ClassifyTone(state.cell(ch, ColDecode), odd);
    PutTones(f, enc, dec);
    f[CsvMode] = state.cell(ch, ColBand) == "Narrow" ? "NFM" : "FM";
    f[CsvSkip] = state.cell(ch, ColScan) == "Have" ? "" : "S";
    // An empty power cell goes to the radio as High.
    f[CsvPower] = state.cell(ch, ColPower) == "Low" ? "Low" : "High";
    return f;
}

}  // namespace

std::vector<std::vector<std::string>> CsvRecordsOfChannels(const EditorState& state,
                                                           std::vector<std::string>* problems) {
    std::vector<std::vector<std::string>> out;
    out.emplace_back(kCsvColumnNames.begin(), kCsvColumnNames.end());
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (state.channelEmpty(ch)) continue;
        bool odd = false;
        out.push_back(RecordOfChannel(state, ch, &odd));
        if (odd && problems) {
            problems->push_back("channel " + ChannelNumberText(ch) +
                                " holds texts the radio's lists do not have; written as they are");
        }
    }
    return out;
}

}  // namespace r7
