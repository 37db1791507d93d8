#include <gtest/gtest.h>

#include <random>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

// A random editor state of the kind the editor can hold: valid texts and positions.
class StateGenerator {
public:
    explicit StateGenerator(unsigned seed) : rng_(seed) {}

    EditorState next() {
        EditorState s = NewConfiguration();
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (pick(4) == 0) continue;  // leave some channels empty
            bool split = pick(3) == 0;
            std::string rx = frequency();
            std::string tx = split ? frequency() : (pick(5) == 0 ? "" : rx);
            s.rows[ch - 1] = {ChannelNumberText(ch), rx, tone(), tx, tx.empty() ? "" : tone(),
                              one(PowerList()), one(BusyLockList()), one(BandList()), one(ScanList())};
        }
        for (int n = 2; n <= kComboCount; ++n) s.combo(n) = pick(ComboEntries(n).size());
        s.option(6) = std::to_string(pick(2));
        s.option(7) = std::to_string(pick(11));
        s.option(8) = std::to_string(pick(6));
        s.option(9) = std::to_string(pick(2));
        s.option(23) = std::to_string(pick(2));
        s.option(24) = std::to_string(pick(2));
        s.PowerHigh = pick(256);
        s.PowerLow = pick(256);
        for (int r = 1; r <= kTestFrequencyRows; ++r) {
            for (int c = 1; c <= 2; ++c) s.testFrequency(r, c) = pick(3) == 0 ? "" : frequency();
        }
        for (auto& line : s.InfoTexts) {
            line.clear();
            for (std::size_t k = pick(33); k > 0; --k) {
                int code = 1 + pick(0xFE);  // 01 ... FE, every single-byte code but the padding
                if (code < 0x80) {
                    line += static_cast<char>(code);
                } else {
                    line += static_cast<char>(0xC0 | (code >> 6));
                    line += static_cast<char>(0x80 | (code & 0x3F));
                }
            }
        }
        return s;
    }

private:
    int pick(std::size_t n) { return static_cast<int>(rng_() % n); }
    const std::string& one(const std::vector<std::string>& list) { return list[pick(list.size())]; }
    std::string tone() {
        if (pick(4) == 0) return "Off";
        return ToneList()[1 + pick(ToneList().size() - 1)];
    }
    std::string frequency() {
        // Any digits in the nine-character form; the codec needs no band or raster.
        char buf[16];
        std::snprintf(buf, sizeof buf, "%03d.%05d", 400 + pick(70), pick(100000));
        return buf;
    }
    std::mt19937 rng_;
};

// decode(encode(s)) == s for every field the image holds, the rest is what decoding keeps;
// and encoding that again gives the same image.
TEST(RoundTrip, DecodeOfEncodeGivesTheStateBack) {
    StateGenerator gen(20261206);
    for (int i = 0; i < 500; ++i) {
        const EditorState s = gen.next();
        const ImageBytes img = EncodeImageBytes(s);
        EditorState back = NewConfiguration();
        back.KeyPF1 = s.KeyPF1;
        ASSERT_TRUE(DecodeImageBytes(img, back));
        EditorState expected = s;
        expected.ServiceUnlocked = 0;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            // Decoding shows "Off" for a missing tone whenever its frequency is there.
            if (!expected.channelEmpty(ch) && expected.cell(ch, ColTransmit).empty()) {
                expected.cell(ch, ColEncode) = "";
            }
        }
        ASSERT_EQ(back, expected) << "state " << i;
        ASSERT_EQ(EncodeImageBytes(back), img) << "state " << i;
    }
}

TEST(RoundTrip, AnyImageDecodesAndEncodesToAFullImage) {
    std::mt19937 rng(42);
    for (int i = 0; i < 2000; ++i) {
        std::vector<std::uint8_t> img(0x330 + rng() % 0x40);
        for (auto& b : img) b = static_cast<std::uint8_t>(rng() % 4 == 0 ? 0xFF : rng());
        EditorState s = NewConfiguration();
        ASSERT_TRUE(DecodeImageBytes(img, s));
        const std::string hex = EncodeImage(s);
        ASSERT_EQ(hex.size(), 1696u);
        // The result is stable: decoding it again changes nothing.
        EditorState again = s;
        ASSERT_TRUE(DecodeImage(hex, again));
        ASSERT_EQ(EncodeImage(again), hex);
    }
}

}  // namespace
}  // namespace r7
