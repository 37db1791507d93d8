#pragma once

// The rules of the channel table while the user edits it: which cells open, how a typed
// frequency is checked and put on the raster, what a new channel gets, and delete.

#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "editor_state.h"
#include "frequency.h"

namespace r7 {

inline constexpr std::string_view kRangeMessage = " Frequency goes beyond the range! ";

struct BandLimits {
    double lower = 400;  // MHz, inclusive
    double upper = 470;  // MHz, exclusive
    bool holds(Frequency f) const {
        return f >= Frequency::FromUnits(std::llround(lower * Frequency::kUnitsPerMhz)) &&
               f < Frequency::FromUnits(std::llround(upper * Frequency::kUnitsPerMhz));
    }
};
// Limits from a band text such as "400-470MHz": characters 1-3 and 5-7.
BandLimits BandLimitsOf(std::string_view bandText);
// Limits of the band list entry Combo1 selects (the first entry when it selects none).
BandLimits BandLimitsOf(const EditorState& state);

enum class FrequencyVerdict {
    Accepted,    // `text` holds the value on the raster, five decimals
    OutOfRange,  // below the lower limit, at or above the upper one, or no number at all
    Malformed,   // a number in range followed by other characters ("435.5abc")
};
struct FrequencyEntry {
    FrequencyVerdict verdict = FrequencyVerdict::OutOfRange;
    std::string text;
};
// Checks a typed channel frequency. The range is checked on the value as it will be
// stored (rounded to five decimals), so 469.999996 cannot become 470.00000.
FrequencyEntry CheckFrequencyEntry(std::string_view typed, BandLimits limits);

// Before an edit: cells 2-8 of an empty channel stay closed; column 0 never opens.
bool CanEditCell(const EditorState& state, int channel, int column);

enum class EditResult {
    Stored,      // the rules ran; the cell (and maybe its row) changed
    RangeError,  // show kRangeMessage; the cell has been emptied
    Malformed,   // show kRangeMessage; the cell keeps its previous text
    Refused,     // text not allowed in this column (not in its pick list); nothing changed
};
// Stores `text` into the cell and applies the after-edit rules.
EditResult ApplyCellEdit(EditorState& state, int channel, int column, std::string_view text,
                         BandLimits limits);

// Fills the defaults of a channel that has just got its receive frequency.
void FillNewChannelDefaults(EditorState& state, int channel);

// The context-menu delete: columns 1 to 7 emptied, "Scan" and the number kept.
void DeleteChannel(EditorState& state, int channel);
// "Delete the data of " + row + "channel".
std::string DeleteMenuCaption(int row);

// The pick list of a channel column (2 and 4 the tone list, 5-8 theirs); empty for 0, 1, 3.
const std::vector<std::string>& PickList(int column);

}  // namespace r7
