#include "channel_clipboard.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "frequency.h"
#include "setting_lists.h"

namespace r7 {

namespace {

constexpr int kDataColumns = ColScan;  // Receive .. Scan

std::string Trimmed(std::string_view field) {
    while (!field.empty() && (field.front() == ' ' || field.front() == '\t'))
        field.remove_prefix(1);
    while (!field.empty() && (field.back() == ' ' || field.back() == '\r')) field.remove_suffix(1);
    // A spreadsheet quotes a cell now and then; "" inside stands for one quote.
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        std::string plain;
        field = field.substr(1, field.size() - 2);
        for (std::size_t i = 0; i < field.size(); ++i) {
            plain += field[i];
            if (field[i] == '"' && i + 1 < field.size() && field[i + 1] == '"') ++i;
        }
        return plain;
    }
    return std::string(field);
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    if (line.empty()) return fields;
    std::size_t from = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', from);
        fields.push_back(
            Trimmed(line.substr(from, tab == std::string_view::npos ? line.npos : tab - from)));
        if (tab == std::string_view::npos) break;
        from = tab + 1;
    }
    return fields;
}

bool IsChannelNumber(const std::string& field) {
    return !field.empty() && field.size() <= 2 &&
           std::all_of(field.begin(), field.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The eight data fields of a line, or nothing when its shape is wrong.
bool DataFields(std::vector<std::string>& fields) {
    const std::size_t n = fields.size();
    // A trailing tab after number and eight fields, or after eight fields alone.
    const bool trailingTab =
        !fields.empty() && fields.back().empty() &&
        (n == kDataColumns + 2 || (n == kDataColumns + 1 && !IsChannelNumber(fields.front())));
    if (trailingTab) fields.pop_back();
    if (fields.size() == kDataColumns + 1) fields.erase(fields.begin());
    return fields.size() == kDataColumns;
}

bool SameLetters(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The pick-list entry a pasted text names, or "" when it names none.
std::string PickEntry(int column, const std::string& text) {
    for (const std::string& entry : PickList(column)) {
        if (SameLetters(entry, text)) return entry;
    }
    if (column == ColDecode || column == ColEncode) {
        // Spreadsheets turn "67.0" into 67 and "100.0" into 100; read as a typed number,
        // compared in tenths of Hz.
        if (auto value = Frequency::FromTyped(text)) {
            for (const std::string& tone : CtcssTones()) {
                if (std::llround(value->mhz() * 10) == std::llround(LeadingNumber(tone) * 10))
                    return tone;
            }
        }
    }
    return {};
}

std::string PickReason(int column) {
    if (column == ColDecode || column == ColEncode) return "not a QT/DQT tone or code of the list";
    std::string reason = "must be ";
    const auto& list = PickList(column);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) reason += i + 1 == list.size() ? " or " : ", ";
        reason += list[i];
    }
    return reason;
}

std::string BandReason(BandLimits limits) {
    char text[96];
    std::snprintf(text, sizeof text, "outside the band, %g to below %g MHz", limits.lower,
                  limits.upper);
    return text;
}

class RowPaster {
public:
    RowPaster(EditorState& scratch, BandLimits limits, std::vector<PasteProblem>& problems)
        : s_(scratch), limits_(limits), problems_(problems) {}

    void paste(int line, int channel, const std::vector<std::string>& fields) {
        line_ = line;
        channel_ = channel;
        for (int col = ColReceive; col <= ColScan; ++col) s_.cell(channel, col).clear();
        if (fields[0].empty()) return;     // an empty channel
        frequency(ColReceive, fields[0]);  // fills the new-channel defaults
        if (!fields[ColTransmit - 1].empty()) frequency(ColTransmit, fields[ColTransmit - 1]);
        for (int col : {ColDecode, ColEncode, ColPower, ColBusyLock, ColBand, ColScan}) {
            const std::string& field = fields[static_cast<std::size_t>(col - 1)];
            if (field.empty()) continue;  // keeps the default
            const std::string entry = PickEntry(col, field);
            if (entry.empty() ||
                ApplyCellEdit(s_, channel, col, entry, limits_) != EditResult::Stored) {
                fail(col, field, PickReason(col));
            }
        }
    }

private:
    void frequency(int column, const std::string& field) {
        switch (ApplyCellEdit(s_, channel_, column, field, limits_)) {
            case EditResult::Stored:
                return;
            case EditResult::RangeError:
                fail(column, field, BandReason(limits_));
                return;
            case EditResult::Malformed:
            case EditResult::Refused:
                fail(column, field, "not a frequency in MHz");
                return;
        }
    }
    void fail(int column, const std::string& text, std::string reason) {
        problems_.push_back({line_, channel_, column, text, std::move(reason)});
    }

    EditorState& s_;
    BandLimits limits_;
    std::vector<PasteProblem>& problems_;
    int line_ = 0;
    int channel_ = 0;
};

// The lines of a paste (LF or CRLF), without the blank ones at the end.
std::vector<std::string_view> PastedLines(std::string_view text) {
    std::vector<std::string_view> lines;
    for (std::size_t from = 0; from <= text.size();) {
        std::size_t end = text.find('\n', from);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(from, end - from);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        from = end + 1;
    }
    while (!lines.empty() && lines.back().find_first_not_of(" \r") == std::string_view::npos)
        lines.pop_back();
    return lines;
}

// The selected channels in order, each once, those that exist only.
std::vector<int> ValidTargets(const std::vector<int>& targets) {
    std::vector<int> channels(targets);
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    channels.erase(std::remove_if(channels.begin(), channels.end(),
                                  [](int ch) { return ch < 1 || ch > kChannelCount; }),
                   channels.end());
    return channels;
}

}  // namespace

std::string ChannelRowsText(const EditorState& state, const std::vector<int>& channels) {
    std::string text;
    for (int channel : channels) {
        if (channel < 1 || channel > kChannelCount) continue;
        for (int col = ColReceive; col <= ColScan; ++col) {
            if (col > ColReceive) text += '\t';
            text += state.cell(channel, col);
        }
        text += "\r\n";
    }
    return text;
}

std::string PasteProblem::describe() const {
    std::string out = "Line " + std::to_string(line);
    if (channel > 0) out += " (channel " + ChannelNumberText(channel) + ")";
    if (column > 0)
        out += ", " + ChannelHeaders().at(static_cast<std::size_t>(column)) + " \"" + text + "\"";
    return out + ": " + reason;
}

PasteResult PasteChannelRows(EditorState& state, const std::vector<int>& targets,
                             std::string_view text, BandLimits limits) {
    PasteResult result;
    const std::vector<std::string_view> lines = PastedLines(text);
    std::vector<int> channels = ValidTargets(targets);
    if (lines.empty()) {
        result.problems.push_back({0, 0, 0, "", "there are no channel rows to paste"});
        return result;
    }
    if (channels.empty()) {
        result.problems.push_back({0, 0, 0, "", "no channel is selected"});
        return result;
    }
    if (lines.size() > 1) {
        // Several rows go one below the other from the first selected channel.
        const int first = channels.front();
        channels.clear();
        for (std::size_t i = 0; i < lines.size(); ++i)
            channels.push_back(first + static_cast<int>(i));
    }

    EditorState scratch = state;
    RowPaster paster(scratch, limits, result.problems);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        std::vector<std::string> fields = SplitFields(lines[i]);
        const std::size_t found = fields.size();
        const bool shaped = DataFields(fields);
        const int channel = channels[i];
        if (channel > kChannelCount) {
            result.problems.push_back({lineNo, 0, 0, "",
                                       "there is no channel " + std::to_string(channel) +
                                           "; the rows go beyond channel 16"});
            continue;
        }
        if (!shaped) {
            result.problems.push_back({lineNo, channel, 0, "",
                                       "expected 8 fields (Receive to Scan) or 9 with the channel "
                                       "number first, found " +
                                           std::to_string(found)});
            continue;
        }
        paster.paste(lineNo, channel, fields);
        // One line into several channels: the same fields, checked once.
        if (lines.size() == 1 && result.problems.empty()) {
            for (std::size_t k = 1; k < channels.size(); ++k)
                paster.paste(lineNo, channels[k], fields);
        }
    }
    if (!result.problems.empty()) return result;
    state = scratch;
    result.channels = channels;
    return result;
}

std::string DescribePasteProblems(const std::vector<PasteProblem>& problems, std::size_t maxLines) {
    std::string out;
    for (std::size_t i = 0; i < problems.size() && i < maxLines; ++i)
        out += problems[i].describe() + "\n";
    if (problems.size() > maxLines) {
        out += "... and " + std::to_string(problems.size() - maxLines) + " more\n";
    }
    return out;
}

}  // namespace r7
