#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

// A random editor state of the kind the editor can hold: valid texts and positions.
EditorState RandomState(std::mt19937& rng) {
    auto pick = [&](std::size_t n) { return static_cast<int>(rng() % n); };
    auto one = [&](const std::vector<std::string>& list) { return list[pick(list.size())]; };
    auto tone = [&] { return pick(4) == 0 ? "Off" : ToneList()[1 + pick(ToneList().size() - 1)]; };
    auto frequency =
        [&] {  // any digits in the nine-character form; the codec needs no band or raster
            char buf[16];
            std::snprintf(buf, sizeof buf, "%03d.%05d", 400 + pick(70), pick(100000));
            return std::string(buf);
        };
    EditorState s = NewConfiguration();
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (pick(4) == 0) continue;  // leave some channels empty
        const std::string rx = frequency(), tx = pick(3) == 0   ? frequency()
                                                 : pick(5) == 0 ? ""
                                                                : rx;
        s.rows[ch - 1] = {ChannelNumberText(ch),
                          rx,
                          tone(),
                          tx,
                          tx.empty() ? "" : tone(),
                          one(PowerList()),
                          one(BusyLockList()),
                          one(BandList()),
                          one(ScanList())};
    }
    for (int n = 2; n <= kComboCount; ++n) s.combo(n) = pick(ComboEntries(n).size());
    for (auto [option, values] : {std::pair{6, 2}, {7, 11}, {8, 6}, {9, 2}, {23, 2}, {24, 2}})
        s.option(option) = std::to_string(pick(values));
    s.PowerHigh = pick(256);
    s.PowerLow = pick(256);
    for (auto& row : s.TestFrequencies)
        std::ranges::generate(row, [&] { return pick(3) == 0 ? "" : frequency(); });
    for (auto& line : s.InfoTexts) {
        line.clear();
        for (std::size_t k = pick(33); k > 0; --k) {
            const int code = 1 + pick(0xFE);  // 01 ... FE, every single-byte code but the padding
            if (code >= 0x80) line += static_cast<char>(0xC0 | (code >> 6));
            line += static_cast<char>(code < 0x80 ? code : 0x80 | (code & 0x3F));
        }
    }
    return s;
}

// decode(encode(s)) == s for every field the image holds, the rest is what decoding keeps;
// and encoding that again gives the same image.
TEST(RoundTrip, DecodeOfEncodeGivesTheStateBack) {
    std::mt19937 rng(20261206);
    for (int i = 0; i < 500; ++i) {
        const EditorState s = RandomState(rng);
        const ImageBytes img = EncodeImageBytes(s);
        EditorState back = NewConfiguration();
        back.KeyPF1 = s.KeyPF1;
        ASSERT_TRUE(DecodeImageBytes(img, back));
        EditorState expected = s;
        expected.ServiceUnlocked = 0;
        for (auto& row : expected.rows) {
            // Decoding shows "Off" for a missing tone whenever its frequency is there.
            if (!row[ColReceive].empty() && row[ColTransmit].empty()) row[ColEncode] = "";
        }
        ASSERT_EQ(back, expected) << "state " << i;
        ASSERT_EQ(EncodeImageBytes(back), img) << "state " << i;
    }
}

// Any image decodes, encodes to a full image, and decoding that again changes nothing.
TEST(RoundTrip, AnyImageDecodesAndEncodesToAFullImage) {
    std::mt19937 rng(42);
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::uint8_t> img(0x330 + rng() % 0x40);
        for (auto& b : img) b = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0xFF : rng());
        EditorState s = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(img, s));
        const std::string hex = EncodeImage(s);
        ASSERT_EQ(hex.size(), 1696u);
        ASSERT_TRUE(DecodeImage(hex, s));
        ASSERT_EQ(EncodeImage(s), hex);
    }
}

}  // namespace
}  // namespace r7
