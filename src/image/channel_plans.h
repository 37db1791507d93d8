#pragma once

// Ready channel plans (PMR446, FRS, the user's own) and what the radio's channels owe them.
//
// A plan is a table in the channel CSV layout (see channel_import.h), one row per channel of
// the plan, numbered by its Location. A Mode or Power the row gives is what the plan
// requires on that channel; an empty one leaves it to the user. Every plan channel is
// simplex unless its row gives a Duplex.
//
// Filling puts the picked plan channels on radio channels 1, 2, ... through the rules of a
// paste, all or nothing. What the plan leaves open is filled Narrow and Low power with tones
// Off; a channel that was in use keeps its Busy Lock and Scan.
//
// Checking lists every channel whose receive (or else transmit) frequency is a plan
// frequency and whose band, power or transmit frequency breaks that plan channel.

#include <optional>
#include <string>
#include <vector>

#include "channel_editing.h"
#include "channel_import.h"
#include "editor_state.h"
#include "expected.h"

namespace r7 {

struct PlanChannel {
    int number = 0;     // the plan's own channel number
    ChannelRow cells;   // what a fill stores, Receive to Scan
    std::string band;   // "Narrow" or "Wide" when the plan requires it, else ""
    std::string power;  // "Low" or "High" when the plan requires it, else ""
};

struct ChannelPlan {
    std::string name;  // "PMR446"
    std::vector<PlanChannel> channels;
    // The plan channel numbers a fill takes unless the user picks: the first 16.
    std::vector<int> defaultPicks() const;
    const PlanChannel* channel(int number) const;
};

// The plan, or every reason why the table is none.
using PlanReadResult = Expected<ChannelPlan, std::vector<std::string>>;
// A plan from the records of its CSV file (header first); refused as a whole when any row is
// wrong, so a plan never fills half of what its file says.
PlanReadResult ReadChannelPlan(std::string name, const std::vector<CsvLine>& lines);

struct PlanFill {
    std::vector<int> channels;  // radio channels filled, in order
    std::string refusal;        // why nothing was filled; empty on success
    bool ok() const { return refusal.empty(); }
};
// The plan channels `picks` (plan numbers, in the order given) onto radio channels 1, 2, ...
// `state` changes only when every value is stored exactly as the plan gives it.
PlanFill FillFromPlan(EditorState& state, const ChannelPlan& plan, const std::vector<int>& picks,
                      BandLimits limits);

struct PlanFinding {
    int channel = 0;      // radio channel 1..16
    int planChannel = 0;  // the plan channel it is on
    std::string text;     // "Channel 03 (PMR446 channel 3, 446.03125 MHz): High power; ..."
};
std::vector<PlanFinding> CheckAgainstPlan(const EditorState& state, const ChannelPlan& plan);

}  // namespace r7
