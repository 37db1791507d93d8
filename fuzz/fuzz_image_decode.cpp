// Any bytes, as an image or as hex text, must decode without a fault and encode to 848 bytes.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "image/editor_defaults.h"
#include "image/image_codec.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    r7::EditorState state = r7::NewConfiguration();
    if (r7::DecodeImageBytes({data, size}, state)) {
        if (r7::EncodeImage(state).size() != 2 * r7::layout::kImageSize) std::abort();
        // What the encoder wrote decodes to the same state and encodes to the same bytes.
        r7::ImageBytes once = r7::EncodeImageBytes(state);
        r7::EditorState again = state;
        if (!r7::DecodeImageBytes(once, again) || r7::EncodeImageBytes(again) != once) std::abort();
    }
    r7::EditorState fromText = r7::NewConfiguration();
    const r7::EditorState before = fromText;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!r7::DecodeImage(text, fromText) && !(fromText == before))
        std::abort();  // refused: untouched
    return 0;
}
