#pragma once

// Case tables kept as data: tests/data/NAME.tsv, one case a line, fields split by tabs; blank
// lines and lines starting with # are skipped. tests/data/README.md describes the format and the
// editor keys ("c3.1", "k5", "PF1" ...) below. Standard C++ only: the core's tests build
// without Qt too.

#include <cstdint>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "image/editor_state.h"

namespace r7::test {

// The header line of a channel table in the common CSV layout, as written.
inline const std::string kCsvHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
    "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment\r\n";

// Fields past the end of a line read as empty.
struct Fields : std::vector<std::string> {
    const std::string& operator[](std::size_t i) const {
        static const std::string none;
        return i < size() ? at(i) : none;
    }
};

// "a|b|" -> {"a", "b", ""}.
inline std::vector<std::string> Split(const std::string& s, char by = '|') {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == by)
            out.emplace_back();
        else
            out.back().push_back(c);
    }
    return out;
}

inline std::string Unescape(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i] == '\\' && i + 1 < s.size() ? s[++i] : '\0';  // the escaped letter
        if (c == 'x') {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c ? c : s[i];
        }
    }
    return out;
}

inline std::vector<Fields> Table(const std::string& name) {
    std::ifstream in(std::string(R7_TEST_DATA) + "/" + name + ".tsv");
    if (!in) throw std::runtime_error("no case table " + name);
    std::vector<Fields> rows;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        Fields f{Split(line, '\t')};
        for (std::string& field : f) field = Unescape(field);
        rows.push_back(std::move(f));
    }
    return rows;
}

// {"a", "b", "c"} from 1 on -> "b|c".
inline std::string Join(const std::vector<std::string>& parts, std::size_t from = 0,
                        const std::string& by = "|") {
    std::string out;
    for (std::size_t i = from; i < parts.size(); ++i) out += (i > from ? by : "") + parts[i];
    return out;
}

// "25 06 60 44" (blanks optional) -> bytes.
inline std::vector<std::uint8_t> Bytes(std::string hex) {
    std::erase(hex, ' ');
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < hex.size(); i += 2)
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

// One value of the editor by a short key, as tests/data/README.md lists them: "c3.1" channel 3's
// receive cell, "k5" Combo5's position, "o7" option 7, "t16.2" test frequency 16's transmit,
// "i1" information line 1, "d1" DTMF value 1, "m8" DTMF memory 8; the numbers "PH"/"PL" power
// calibration, "PF1"/"PF2" side keys, "SU" service mode, "U1".."U3" and "UT" the unlock gesture.
inline std::pair<std::string*, int*> Field(EditorState& s, const std::string& key) {
    const std::map<std::string, int EditorState::*> numbers = {
        {"PH", &EditorState::PowerHigh},       {"PL", &EditorState::PowerLow},
        {"PF1", &EditorState::KeyPF1},         {"PF2", &EditorState::KeyPF2},
        {"SU", &EditorState::ServiceUnlocked}, {"U1", &EditorState::UnlockClick1},
        {"U2", &EditorState::UnlockClick2},    {"U3", &EditorState::UnlockClick3},
        {"UT", &EditorState::UnlockClickTime}};
    if (const auto named = numbers.find(key); named != numbers.end())
        return {nullptr, &(s.*named->second)};
    const std::size_t dot = key.find('.');
    const int a = std::stoi(key.substr(1));
    const int b = dot == std::string::npos ? 0 : std::stoi(key.substr(dot + 1));
    const auto n = static_cast<std::size_t>(a - 1);
    switch (key[0]) {
        case 'c':
            return {&s.cell(a, b), nullptr};
        case 'k':
            return {nullptr, &s.combo(a)};
        case 'o':
            return {&s.option(a), nullptr};
        case 't':
            return {&s.testFrequency(a, b), nullptr};
        case 'd':
            return {&s.DtmfValues.at(n), nullptr};
        case 'm':
            return {&s.DtmfMemories.at(n), nullptr};
        default:
            return {&s.InfoTexts.at(n), nullptr};
    }
}

// A channel's cells from Receive on, joined by `by`, and set from such a text.
inline std::string Cells(const EditorState& s, int channel, char by = '|') {
    std::string out = s.cell(channel, ColReceive);
    for (int col = ColReceive + 1; col < kColumnCount; ++col) out += by + s.cell(channel, col);
    return out;
}
inline void SetCells(EditorState& s, int channel, const std::string& cells, char by = '|') {
    const Fields parts{Split(cells, by)};
    for (int col = ColReceive; col < kColumnCount; ++col)
        s.cell(channel, col) = parts[static_cast<std::size_t>(col - 1)];
}

inline std::string Get(EditorState s, const std::string& key) {
    const auto [text, number] = Field(s, key);
    return text ? *text : std::to_string(*number);
}

inline void Set(EditorState& s, const std::string& key, const std::string& value) {
    const auto [text, number] = Field(s, key);
    if (text)
        *text = value;
    else
        *number = std::stoi(value);
}

// Sets "key=value;key=value" on the editor: "c3.1=446.00625;k5=8" sets channel 3's receive
// frequency and the squelch list to its ninth entry.
inline void Apply(EditorState& s, const std::string& changes) {
    for (const std::string& c : Split(changes, ';')) {
        if (!c.empty()) Set(s, c.substr(0, c.find('=')), c.substr(c.find('=') + 1));
    }
}

}  // namespace r7::test
