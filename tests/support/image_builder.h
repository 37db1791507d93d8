#pragma once

// Expected radio images built by hand from the memory map, independent of the encoder.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "image/image_codec.h"

namespace r7::test {

using Image = std::vector<std::uint8_t>;

inline Image& Put(Image& image, std::size_t offset, std::initializer_list<std::uint8_t> values) {
    for (std::uint8_t v : values) image.at(offset++) = v;
    return image;
}

// All FF but the bytes every image carries whatever the editor holds.
inline Image FixedImage() {
    Image img(0x350, 0xFF);
    Put(img, 0x122, {0x00, 0x00});
    Put(img, 0x1A8, {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF});
    Put(img, 0x330, {0x54, 0x4B, 0x2D, 0x33, 0x32, 0x30, 0x37});
    Put(img, 0x33C, {0x33});
    return Put(img, 0x340, {0x36, 0x30, 0x39, 0x30, 0x35, 0x32, 0x36, 0x30});
}

// A new configuration's image: empty channels (FF x 13, F0, FF, FF), the general settings of a
// new configuration, scan bytes 0, calibration 208 / 92.
inline Image DefaultImage() {
    Image img = FixedImage();
    for (int n = 1; n <= 16; ++n) img[(n - 1) * 0x10 + 13] = 0xF0;
    Put(img, 0x11D, {0xFF});
    Put(img, 0x11F, {0x01, 0x02, 0x00});
    Put(img, 0x124, {0x04, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x00});
    Put(img, 0x150, {0x01});
    Put(img, 0x16E, {0x00, 0x00});
    Put(img, 0x173, {0xD0});
    return Put(img, 0x178, {0x5C});
}

// A radio memory every byte of which depends on its offset and the seed.
inline ImageBytes Pattern(int seed) {
    ImageBytes image{};
    for (std::size_t k = 0; k < image.size(); ++k)
        image[k] = static_cast<std::uint8_t>(k * 7 + seed);
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

inline std::string HexText(const std::vector<std::uint8_t>& bytes) {
    return HexText(bytes.data(), bytes.size());
}

}  // namespace r7::test
