#include "radio_numbering.h"

#include "image_codec.h"
#include "key_filters.h"
#include "storable_values.h"

namespace r7 {

std::string RadioNumbering::text(int number) const {
    std::string digits = std::to_string(number);
    if (static_cast<int>(digits.size()) < width)
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    return prefix + digits + suffix;
}

std::string RadioNumbering::logText(int number) const {
    return "line " + std::to_string(line) + ": " + text(number);
}

std::string RadioNumbering::problem(const EditorState& state, int number) const {
    const std::string numbered = text(number);
    const std::string quoted = "information line " + std::to_string(line) + " \"" + numbered + "\"";
    if (CharacterCount(numbered) > kInfoLineMaxLength) {
        return quoted + " has " + std::to_string(CharacterCount(numbered)) +
               " characters; the radio holds " + std::to_string(kInfoLineMaxLength);
    }
    EditorState numberedState = state;
    numberedState.InfoTexts[static_cast<std::size_t>(line - 1)] = numbered;
    for (const UnstorableValue& v : UnstorableValues(numberedState)) {
        if (v.key == "InfoTexts" && v.row == line)
            return quoted + " cannot be stored (it would become \"" + v.stored + "\")";
    }
    return "";
}

bool RadioNumbering::apply(EditorState& state, int number) const {
    if (!problem(state, number).empty()) return false;
    state.InfoTexts[static_cast<std::size_t>(line - 1)] = text(number);
    return true;
}

std::optional<RadioNumbering> ParseRadioNumbering(std::string_view pattern, int line, int first,
                                                  std::string* error) {
    auto fail = [error](std::string why) -> std::optional<RadioNumbering> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    if (line != 1 && line != 2) return fail("the information line is 1 or 2");
    if (first < 0) return fail("the first number cannot be negative");
    const std::size_t open = pattern.find("{n");
    const std::size_t close = open == std::string_view::npos ? open : pattern.find('}', open);
    if (close == std::string_view::npos)
        return fail("the pattern needs {n} or {n:0W} where the number goes");
    if (pattern.find("{n", close) != std::string_view::npos)
        return fail("the pattern has more than one {n}");
    const std::string_view field = pattern.substr(open, close - open + 1);
    RadioNumbering numbering;
    if (field != "{n}") {
        if (field.size() != 6 || field.substr(0, 4) != "{n:0" || field[4] < '1' || field[4] > '9')
            return fail("write the number as {n} or {n:0W}, W a digit 1 to 9, not " +
                        std::string(field));
        numbering.width = field[4] - '0';
    }
    numbering.line = line;
    numbering.first = first;
    numbering.prefix = std::string(pattern.substr(0, open));
    numbering.suffix = std::string(pattern.substr(close + 1));
    return numbering;
}

std::string NumberingRefusal(const RadioNumbering& numbering, const EditorState& state,
                             int radios) {
    std::string problem = numbering.problem(state, numbering.first);
    if (problem.empty() && radios > 1)
        problem = numbering.problem(state, numbering.first + radios - 1);
    return problem;
}

}  // namespace r7
