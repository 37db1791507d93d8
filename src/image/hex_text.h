#pragma once

// Byte strings as the program passes them around: two upper-case hex digits per byte.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace r7 {

// 0-15 for '0'-'9', 'A'-'F', 'a'-'f'; -1 for any other character.
int HexDigitValue(char c);

std::string ToHexText(std::span<const std::uint8_t> bytes);
// nullopt when the length is odd or a character is not a hex digit (either case accepted).
std::optional<std::vector<std::uint8_t>> FromHexText(std::string_view hex);

}  // namespace r7
