#include "channel_editing.h"

#include <algorithm>
#include <cmath>

#include "frequency.h"
#include "setting_lists.h"

namespace r7 {

namespace {

double NumberAt(std::string_view text, std::size_t from, std::size_t count) {
    if (from >= text.size()) return 0;
    return LeadingNumber(text.substr(from, count));
}

bool InRange(double mhz, BandLimits limits) { return mhz >= limits.lower && mhz < limits.upper; }

}  // namespace

BandLimits BandLimitsOf(std::string_view bandText) {
    return {NumberAt(bandText, 0, 3), NumberAt(bandText, 4, 3)};
}

BandLimits BandLimitsOf(const EditorState& state) {
    const auto& bands = ComboEntries(1);
    const int pos = state.combo(1);
    return BandLimitsOf(pos >= 0 && pos < static_cast<int>(bands.size()) ? bands[pos] : bands[0]);
}

FrequencyEntry CheckFrequencyEntry(std::string_view typed, BandLimits limits) {
    if (auto value = Frequency::FromTyped(typed)) {
        // Rounding to five decimals may reach the upper limit; check what will be stored.
        if (!limits.holds(*value)) return {FrequencyVerdict::OutOfRange, ""};
        return {FrequencyVerdict::Accepted, value->rasterBelow().text()};
    }
    // Not one clean number: its leading number decides between the two refusals.
    std::string withPoint(typed);
    std::replace(withPoint.begin(), withPoint.end(), ',', '.');
    double leading = LeadingNumber(withPoint);
    return {InRange(leading, limits) ? FrequencyVerdict::Malformed : FrequencyVerdict::OutOfRange,
            ""};
}

bool CanEditCell(const EditorState& state, int channel, int column) {
    if (channel < 1 || channel > kChannelCount || column < ColReceive || column > ColScan)
        return false;
    return column == ColReceive || !state.channelEmpty(channel);
}

void FillNewChannelDefaults(EditorState& s, int channel) {
    s.cell(channel, ColDecode) = "Off";
    s.cell(channel, ColTransmit) = s.cell(channel, ColReceive);
    s.cell(channel, ColEncode) = "Off";
    s.cell(channel, ColPower) = "Low";
    s.cell(channel, ColBusyLock) = "Off";
    s.cell(channel, ColBand) = "Wide";
    s.cell(channel, ColScan) = "No";
}

EditResult ApplyCellEdit(EditorState& s, int channel, int column, std::string_view text,
                         BandLimits limits) {
    if (channel < 1 || channel > kChannelCount || column < ColReceive || column > ColScan) {
        return EditResult::Refused;
    }
    std::string& cell = s.cell(channel, column);
    if (column != ColReceive && column != ColTransmit) {
        const auto& list = PickList(column);
        if (!text.empty() && std::find(list.begin(), list.end(), text) == list.end()) {
            return EditResult::Refused;
        }
        cell = std::string(text);
        return EditResult::Stored;
    }
    if (text.empty()) {
        if (column == ColReceive) {
            for (int col = ColReceive; col <= ColScan; ++col) s.cell(channel, col).clear();
        } else {
            cell = s.cell(channel, ColReceive);  // transmit falls back to receive
        }
        return EditResult::Stored;
    }
    FrequencyEntry entry = CheckFrequencyEntry(text, limits);
    if (entry.verdict == FrequencyVerdict::Malformed) return EditResult::Malformed;
    if (entry.verdict == FrequencyVerdict::OutOfRange) {
        cell.clear();  // the rest of the row keeps its contents
        return EditResult::RangeError;
    }
    cell = entry.text;
    if (column == ColReceive && s.cell(channel, ColTransmit).empty())
        FillNewChannelDefaults(s, channel);
    return EditResult::Stored;
}

void DeleteChannel(EditorState& s, int channel) {
    for (int col = ColReceive; col <= ColBand; ++col) s.cell(channel, col).clear();
}

std::string DeleteMenuCaption(int row) {
    return "Delete the data of " + std::to_string(row) + "channel";
}

const std::vector<std::string>& PickList(int column) {
    static const std::vector<std::string> none;
    switch (column) {
        case ColDecode:
        case ColEncode:
            return ToneList();
        case ColPower:
            return PowerList();
        case ColBusyLock:
            return BusyLockList();
        case ColBand:
            return BandList();
        case ColScan:
            return ScanList();
        default:
            return none;
    }
}

}  // namespace r7
