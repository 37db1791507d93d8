#pragma once

// The edit rules of the test frequency table: a typed receive or transmit frequency is
// moved down onto the 5 kHz / 6.25 kHz raster, and the two cells of a row follow each other.

#include <string>
#include <string_view>

namespace r7 {

struct TestFrequencyPair {
    std::string receive;
    std::string transmit;
    bool operator==(const TestFrequencyPair&) const = default;
};

// Receive: down to the nearer raster below (a tie goes to 6.25 kHz), five decimals.
// "462.013" -> "462.01250"; text without a leading number gives "0.00000".
std::string SnapTestReceive(std::string_view typed);
// Transmit: a value on the 6.25 kHz raster is kept, any other goes down to 5 kHz.
std::string SnapTestTransmit(std::string_view typed);

// True when the image can hold the text: nine characters, 100.00000 to 999.99999.
bool FitsTestFrequency(std::string_view text);

// Transmit opens only while the row has a receive frequency.
bool CanEditTestFrequency(const TestFrequencyPair& row, int column);

// The row after `typed` was entered into column 1 (receive) or 2 (transmit). A result the
// image cannot hold is refused: the row comes back as it was.
TestFrequencyPair ApplyTestFrequencyEdit(const TestFrequencyPair& row, int column,
                                         std::string_view typed);

}  // namespace r7
