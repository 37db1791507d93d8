#include "read_back.h"

#include <algorithm>
#include <cstdio>

#include "image/editor_defaults.h"
#include "image/hex_text.h"
#include "image/image_layout.h"

namespace r7::link {

void WriteRecord::addSentCommand(std::span<const std::uint8_t> command) {
    if (command.size() != kBlockHeaderSize + kWriteLength || command[0] != kWriteBlock ||
        command[3] != kWriteLength)
        return;
    const int first = command[1] * 256 + command[2] - kImageBaseAddress;
    for (std::size_t i = 0; i < kWriteLength; ++i) {
        const long offset = first + static_cast<long>(i);
        if (offset < 0 || offset >= static_cast<long>(written_.size())) continue;
        written_[static_cast<std::size_t>(offset)] = command[kBlockHeaderSize + i];
    }
}

ReadBackComparison CompareReadBack(const WriteRecord& record,
                                   std::span<const std::uint8_t> readBack) {
    ReadBackComparison result;
    for (std::size_t offset = 0; offset < layout::kImageSize; ++offset) {
        if (!record.isWritten(offset)) continue;
        if (offset >= readBack.size()) {
            ++result.unverifiable;
            continue;
        }
        ++result.compared;
        if (record.byteAt(offset) != readBack[offset])
            result.differences.push_back({offset, record.byteAt(offset), readBack[offset]});
    }
    return result;
}

std::string ReadBackComparison::text(std::size_t shown) const {
    if (differences.empty()) return {};
    std::string out =
        std::to_string(differences.size()) +
        (differences.size() == 1 ? " written byte differs" : " written bytes differ") +
        " on read-back:";
    char part[48];
    for (std::size_t i = 0; i < differences.size() && i < shown; ++i) {
        const ByteDifference& d = differences[i];
        std::snprintf(part, sizeof part, "%s offset %03zX wrote %02X read %02X", i ? "," : "",
                      d.offset, static_cast<unsigned>(d.written), static_cast<unsigned>(d.read));
        out += part;
    }
    if (differences.size() > shown) out += ", ...";
    return out;
}

std::optional<ImageBytes> ImageOfRead(std::string_view readHex) {
    const auto bytes = FromHexText(readHex);
    if (!bytes || bytes->size() != layout::kReadSize) return std::nullopt;
    EditorState state = NewConfiguration();
    if (!DecodeImageBytes(*bytes, state)) return std::nullopt;
    ImageBytes image = EncodeImageBytes(state);
    std::copy(bytes->begin(), bytes->end(), image.begin());
    return image;
}

}  // namespace r7::link
