#pragma once

// Case tables kept as data: tests/data/NAME.tsv, one case a line, fields split by tabs; blank
// lines and lines starting with # are skipped. \t \r \n \\ and \xNN write what a field cannot
// hold. Expected bytes are written out by hand from the memory map, as hex. Standard C++ only:
// the core's tests build without Qt too.

#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "image/editor_state.h"

namespace r7::test {

// Fields past the end of a line read as empty.
struct Fields : std::vector<std::string> {
    const std::string& operator[](std::size_t i) const {
        static const std::string none;
        return i < size() ? at(i) : none;
    }
};

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
        Fields f;
        for (std::size_t at = 0;;) {
            const std::size_t tab = line.find('\t', at);
            f.push_back(Unescape(line.substr(at, tab - at)));
            if (tab == std::string::npos) break;
            at = tab + 1;
        }
        rows.push_back(f);
    }
    return rows;
}

// "a|b|" -> {"a", "b", ""}.
inline std::vector<std::string> Split(const std::string& s, char by = '|') {
    std::vector<std::string> out(1);
    for (char c : s) {
        if (c == by) out.emplace_back();
        else out.back().push_back(c);
    }
    return out;
}

// {"a", "b", "c"} from 1 on -> "b|c".
inline std::string Join(const std::vector<std::string>& parts, std::size_t from = 0, const std::string& by = "|") {
    std::string out;
    for (std::size_t i = from; i < parts.size(); ++i) out += (i > from ? by : "") + parts[i];
    return out;
}

// "25 06 60 44" (blanks optional) -> bytes.
inline std::vector<std::uint8_t> Bytes(const std::string& hex) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < hex.size();) {
        if (hex[i] == ' ') {
            ++i;
            continue;
        }
        out.push_back(static_cast<std::uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
        i += 2;
    }
    return out;
}

// One value of the editor by a short key: "c3.1" cell, "k5" combo position, "o7" option,
// "t16.2" test frequency, "i1" information line, "PH"/"PL" power calibration.
// The text or the number field a key names.
inline std::pair<std::string*, int*> Field(EditorState& s, const std::string& key) {
    const std::size_t dot = key.find('.');
    const int a = key.size() > 1 && key[0] != 'P' ? std::stoi(key.substr(1)) : 0;
    const int b = dot == std::string::npos ? 0 : std::stoi(key.substr(dot + 1));
    switch (key[0]) {
    case 'c': return {&s.cell(a, b), nullptr};
    case 'k': return {nullptr, &s.combo(a)};
    case 'o': return {&s.option(a), nullptr};
    case 't': return {&s.testFrequency(a, b), nullptr};
    case 'i': return {&s.InfoTexts.at(static_cast<std::size_t>(a - 1)), nullptr};
    default: return {nullptr, key == "PH" ? &s.PowerHigh : &s.PowerLow};
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
    for (int col = ColReceive; col < kColumnCount; ++col) s.cell(channel, col) = parts[static_cast<std::size_t>(col - 1)];
}

inline std::string Get(EditorState s, const std::string& key) {
    const auto [text, number] = Field(s, key);
    return text ? *text : std::to_string(*number);
}

inline void Set(EditorState& s, const std::string& key, const std::string& value) {
    const auto [text, number] = Field(s, key);
    if (text) *text = value;
    else *number = std::stoi(value);
}

// Sets "key=value;key=value" on the editor.
inline void Apply(EditorState& s, const std::string& changes) {
    for (const std::string& c : Split(changes, ';')) {
        if (!c.empty()) Set(s, c.substr(0, c.find('=')), c.substr(c.find('=') + 1));
    }
}

}  // namespace r7::test
