#pragma once

// Builds expected radio images by hand from the memory map, independent of the encoder.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "image/image_codec.h"

namespace r7::test {

class ImageBuilder {
public:
    ImageBuilder() : bytes_(0x350, 0xFF) {}

    // The bytes every image carries whatever the editor holds.
    ImageBuilder& withFixedBytes() {
        put(0x122, {0x00, 0x00});
        put(0x1A8, {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF});
        put(0x330, {0x54, 0x4B, 0x2D, 0x33, 0x32, 0x30, 0x37});
        put(0x33C, {0x33});
        put(0x340, {0x36, 0x30, 0x39, 0x30, 0x35, 0x32, 0x36, 0x30});
        return *this;
    }
    // Channel records as an empty channel has them: FF x 13, F0, FF, FF.
    ImageBuilder& withEmptyChannels() {
        for (int n = 1; n <= 16; ++n) bytes_[(n - 1) * 0x10 + 13] = 0xF0;
        return *this;
    }
    // The general settings of a new configuration, scan bytes 0, calibration 208 / 92.
    ImageBuilder& withDefaultSettings() {
        put(0x11D, {0xFF});
        put(0x11F, {0x01, 0x02, 0x00});
        put(0x124, {0x04, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00});
        put(0x150, {0x01});
        put(0x16E, {0x00, 0x00});
        put(0x173, {0xD0});
        put(0x178, {0x5C});
        return *this;
    }
    ImageBuilder& put(std::size_t offset, std::initializer_list<std::uint8_t> values) {
        for (std::uint8_t v : values) bytes_.at(offset++) = v;
        return *this;
    }
    ImageBuilder& channel(int n, std::initializer_list<std::uint8_t> record) {
        return put((n - 1) * 0x10, record);
    }
    std::vector<std::uint8_t> bytes() const { return bytes_; }
    std::vector<std::uint8_t> firstBytes(std::size_t n) const {
        return {bytes_.begin(), bytes_.begin() + n};
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// A new configuration's image, derived from the map and the defaults.
inline std::vector<std::uint8_t> DefaultImage() {
    return ImageBuilder().withFixedBytes().withEmptyChannels().withDefaultSettings().bytes();
}

// A radio memory every byte of which depends on its offset and the seed.
inline ImageBytes Pattern(int seed) {
    ImageBytes image{};
    for (std::size_t k = 0; k < image.size(); ++k) image[k] = static_cast<std::uint8_t>(k * 7 + seed);
    return image;
}

// Bytes as the upper-case hex text the clone protocol and the codec speak.
inline std::string HexText(const std::uint8_t* data, std::size_t size) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < size; ++i) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 15];
    }
    return out;
}

inline std::string HexText(const std::vector<std::uint8_t>& bytes) { return HexText(bytes.data(), bytes.size()); }

}  // namespace r7::test
