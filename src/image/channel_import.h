#pragma once

// The channel table in the generic CSV column layout that multi-radio programming tools
// exchange, mapped onto our channel texts; channel_export.h writes them back. Tokenising the
// CSV is done elsewhere; this file only sees rows of fields.
//
// Import rules (one channel per row, all-or-nothing per row):
// - The first row is the header; columns are found by name (case and blanks ignored),
//   unknown columns are ignored. Location and Frequency are required.
// - The import replaces the channel table: channels named by no row become empty.
// - A row with any problem is refused as a whole and every problem of it is listed. The
//   good rows are still stored. The channel a refused row names (when its Location is
//   readable) keeps what it held before, so nothing is ever stored half right.
// - Frequencies must lie in the band and on the 5 kHz / 6.25 kHz raster; they are refused,
//   never snapped, because a CSV carries exact values.
// - Power, Mode and Skip left out of the file, and empty Power or Mode values, take the
//   channel's previous value when it was in use, else the new-channel defaults. Busy Lock
//   is not in the format and is kept the same way.
// - Power in watts: 2.0 W and above is "High", below 2.0 W "Low".
// - Duplex "off" is a receive-only channel: no transmit frequency, as a radio image can hold
//   it (and as the export writes such a channel).

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "channel_editing.h"
#include "editor_state.h"

namespace r7 {

enum CsvColumn : int {
    CsvLocation,
    CsvName,
    CsvFrequency,
    CsvDuplex,
    CsvOffset,
    CsvTone,
    CsvRToneFreq,
    CsvCToneFreq,
    CsvDtcsCode,
    CsvDtcsPolarity,
    CsvRxDtcsCode,
    CsvCrossMode,
    CsvMode,
    CsvTStep,
    CsvSkip,
    CsvPower,
    CsvComment,
    kCsvColumnCount
};
extern const std::array<std::string_view, kCsvColumnCount> kCsvColumnNames;

// Watts at and above which a power text means "High".
inline constexpr double kHighPowerWatts = 2.0;

// One record of the file as the tokeniser saw it.
struct CsvLine {
    int row = 0;  // line of the file where the record starts, 1 = first line
    std::vector<std::string> fields;
};

struct CsvProblem {
    int row = 0;         // line of the file; 0 for the file as a whole
    std::string field;   // column name, or "" when the problem is the row itself
    std::string value;   // the offending text
    std::string reason;  // English, says what the radio can hold instead
    std::string text() const;
};

struct CsvImportReport {
    bool fatal = false;       // the file could not be read as a channel table; nothing changed
    std::vector<int> stored;  // channels stored, in file order
    int receiveOnly = 0;      // of them, channels without transmit frequency (Duplex "off")
    int refusedRows = 0;
    std::vector<CsvProblem> problems;
    bool locationZero = false;  // a row names Location 0: the file counts its rows from 0
    bool namesDropped = false;  // a row has a Name or Comment, which the radio cannot keep
    bool ok() const { return !fatal && problems.empty(); }
    // One line per problem (at most `maxProblems`, then how many more), a note on names and
    // comments, and a closing summary, each ending in '\n'.
    std::string text(std::size_t maxProblems = 20) const;
};

// Applies tokenised records (header first, blank records already dropped) to the channel
// table of `state`; nothing outside the channel cells changes.
// With `renumber` the rows go to channels 1, 2, ... in file order, whatever their Location.
CsvImportReport ImportCsvRecords(const std::vector<CsvLine>& lines, EditorState& state,
                                 bool renumber = false);

// The import rules applied to every record after the header without placing it on a
// channel: the cells each row gives an empty channel (nullopt for a refused row, whose
// problems are listed), for tables such as channel plans that hold more rows than the radio.
// `fault` is set, and nothing mapped, when the header cannot be read.
struct CsvChannelRows {
    std::string fault;
    std::vector<std::optional<ChannelRow>> rows;  // one per record after the header
    std::vector<CsvProblem> problems;
};
CsvChannelRows MapCsvRecords(const std::vector<CsvLine>& lines, BandLimits limits);

}  // namespace r7
