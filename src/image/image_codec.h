#pragma once

// The only bridge between the editor state and the radio image.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "editor_state.h"
#include "image_layout.h"

namespace r7 {

using ImageBytes = std::array<std::uint8_t, layout::kImageSize>;

// Builds the whole 848-byte image from the editor; always 848 bytes whatever it holds.
ImageBytes EncodeImageBytes(const EditorState& state);
// The same as 1696 upper-case hex digits.
std::string EncodeImage(const EditorState& state);

// Spreads an image over the editor. Needs at least the bytes up to offset 32F (816);
// anything shorter (or, for the text form, not hex) is refused: returns false and leaves
// the state untouched. Bytes past 32F are ignored.
bool DecodeImageBytes(std::span<const std::uint8_t> image, EditorState& state);
bool DecodeImage(std::string_view imageHex, EditorState& state);

// Information text goes to the radio in its single-byte codes (ISO-8859-1): a character
// without one, and U+00FF (whose code is the padding byte), become '?'; at most 32 go.
// Number of characters (code points) of a UTF-8 text, as the user counts them.
std::size_t CharacterCount(std::string_view utf8);

}  // namespace r7
