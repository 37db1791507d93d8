#pragma once

// What a write put into the radio, and how a later read of the radio compares with it.
// Standard C++ only: the window, the command line tool and the tests share it.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "clone_protocol.h"
#include "image/image_codec.h"

namespace r7::link {

// The image bytes a write sent, collected from the commands as they went out; knowing
// nothing of the write list, it records exactly what reached the wire.
class WriteRecord {
public:
    // Any command; only write blocks (57 AH AL 10 and 16 data bytes) are recorded.
    void addSentCommand(std::span<const std::uint8_t> command);
    void clear() { written_.fill(-1); }

    bool isWritten(std::size_t offset) const {
        return offset < written_.size() && written_[offset] >= 0;
    }
    std::uint8_t byteAt(std::size_t offset) const {
        return static_cast<std::uint8_t>(written_[offset]);
    }

private:
    std::array<int, layout::kImageSize> written_ = Unwritten();
    static std::array<int, layout::kImageSize> Unwritten() {
        std::array<int, layout::kImageSize> a{};
        a.fill(-1);
        return a;
    }
};

struct ByteDifference {
    std::size_t offset;  // image offset
    std::uint8_t written;
    std::uint8_t read;
};

struct ReadBackComparison {
    std::vector<ByteDifference> differences;  // in offset order
    std::size_t compared = 0;                 // written bytes the read returned
    std::size_t unverifiable = 0;             // written bytes past what a read returns (340-34F)
    bool ok() const { return differences.empty(); }
    // "2 written bytes differ on read-back: offset 000 wrote 5A read 5B, offset 010 ..."; at most
    // `shown` offsets are named.
    std::string text(std::size_t shown = 8) const;
};

// Compares every recorded byte that `readBack` (image offsets from 0) holds.
ReadBackComparison CompareReadBack(const WriteRecord& record,
                                   std::span<const std::uint8_t> readBack);

// A read's 1664 hex digits (offsets 000-33F) as a whole 848-byte image: offsets 340-34F, which
// no read returns, are what the editor would save after decoding the read. nullopt when the
// text is not a complete read.
std::optional<ImageBytes> ImageOfRead(std::string_view readHex);

}  // namespace r7::link
