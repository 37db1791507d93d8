#pragma once

// Keystroke filters of the dialogs' text boxes and grid editors. A key is a Unicode code
// point as typed; the filters say which character goes in, or that the key is dropped.

#include <cstddef>
#include <optional>

namespace r7 {

inline constexpr char32_t kKeyBackspace = 0x08;
inline constexpr char32_t kKeyEnter = 0x0D;

inline constexpr std::size_t kIdCodeLength = 10;   // the ID code box
inline constexpr std::size_t kPttCodeLength = 16;  // the two PTT ID code boxes
inline constexpr std::size_t kInfoLineMaxLength = 32;

// DTMF code boxes: a-z become upper case; Backspace always goes in; at `maxLength`
// characters nothing else does unless a selection is being replaced; only 0-9, A-D, *
// and # are kept.
std::optional<char32_t> FilterCodeKey(char32_t key, std::size_t length, std::size_t maxLength,
                                      bool hasSelection);

// DTMF memory cells: a-z become upper case; then only 0-9, A-D, #, *, Backspace and Enter.
std::optional<char32_t> FilterMemoryKey(char32_t key);

// Information lines: any key, except that at 32 characters or more only Backspace or
// typing over a selection gets through. `length` counts characters, not bytes.
bool AcceptInfoKey(char32_t key, std::size_t length, bool hasSelection);

}  // namespace r7
