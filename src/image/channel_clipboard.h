#pragma once

// Channel rows as tab-separated text, the form spreadsheets and other copies of this
// program put on the clipboard.
//
// Copy writes one line per channel with the eight data columns Receive .. Scan, no header
// and no channel number, each line ending in CRLF.
//
// Paste reads one channel per line (LF or CRLF). A line holds the eight data columns, or
// nine with the channel number first (ignored); one trailing tab is allowed. Every field
// passes the rules of typing into the grid: frequencies are checked against the band and
// moved down onto the raster, the other columns must name an entry of their pick list
// (case-blind; a spreadsheet's "67" for "67.0" is accepted). An empty Receive field makes
// the channel empty; other empty fields take the defaults of a new channel. A paste is
// all or nothing: when any field of any line fails, nothing is stored.

#include <string>
#include <string_view>
#include <vector>

#include "channel_editing.h"
#include "editor_state.h"

namespace r7 {

// The rows of `channels` (1..16, in the order given) as tab-separated text.
std::string ChannelRowsText(const EditorState& state, const std::vector<int>& channels);

struct PasteProblem {
    int line = 0;     // line of the pasted text, from 1
    int channel = 0;  // channel the line was meant for; 0 when there is none
    int column = 0;   // channel column 1..8; 0 when the line as a whole is wrong
    std::string text;
    std::string reason;
    // "Line 2 (channel 05), Receive "470": outside the band, 400 to below 470 MHz"
    std::string describe() const;
};

struct PasteResult {
    std::vector<int> channels;  // channels stored, in line order; empty when refused
    std::vector<PasteProblem> problems;
    bool ok() const { return problems.empty() && !channels.empty(); }
};

// Pastes `text` into `state`. One line goes into every channel of `targets`; several lines
// go into consecutive channels from the first target. `state` is changed only when the
// whole paste is good.
PasteResult PasteChannelRows(EditorState& state, const std::vector<int>& targets,
                             std::string_view text, BandLimits limits);

// Every problem on its own line, at most `maxLines` of them and a count of the rest.
std::string DescribePasteProblems(const std::vector<PasteProblem>& problems,
                                  std::size_t maxLines = 12);

}  // namespace r7
