#include <gtest/gtest.h>

#include <tuple>

#include "data_table.h"
#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image_builder.h"

namespace r7 {
namespace {

using test::Bytes;
using test::DefaultImage;
using test::Image;

EditorState Decoded(const Image& image, EditorState s = NewConfiguration()) {
    EXPECT_TRUE(DecodeImageBytes(image, s));
    return s;
}
Image Encoded(const EditorState& s) {
    const ImageBytes img = EncodeImageBytes(s);
    return {img.begin(), img.end()};
}
Image Slice(const Image& v, std::size_t at, std::size_t n) {
    return {v.begin() + at, v.begin() + at + n};
}
// An all-FF image with `hex` at `offset`.
Image With(std::size_t offset, const std::string& hex) {
    Image img(0x350, 0xFF);
    for (std::uint8_t b : Bytes(hex)) img.at(offset++) = b;
    return img;
}

TEST(Codec, ChannelRecordsFieldByField) {
    for (const test::Fields& c : test::Table("channel_records")) {
        SCOPED_TRACE(c[1]);
        const std::string cells = test::Join({c.begin() + 3, c.begin() + 11});
        if (c[0] != "enc") {
            EXPECT_EQ(test::Cells(Decoded(With(0, c[2])), 1), cells);
        }
        if (c[0] == "dec") continue;
        for (int n : {1, 8, 9, 16}) {
            EditorState s = NewConfiguration();
            test::SetCells(s, n, cells);
            const Image img = Encoded(s);
            EXPECT_EQ(Slice(img, static_cast<std::size_t>(n - 1) * 0x10, 16), Bytes(c[2]))
                << "channel " << n;
            EXPECT_EQ(img[n <= 8 ? 0x16E : 0x16F], c[11] == "1" ? 1u << ((n - 1) % 8) : 0u) << n;
        }
    }
}

// Encoding changes those bytes and no other; decoding takes only the values the lists accept.
TEST(Codec, SettingsTestFrequenciesAndInformation) {
    for (const test::Fields& c : test::Table("setting_bytes")) {
        SCOPED_TRACE(c[1] + " " + c[2] + " @" + c[3]);
        std::size_t at = std::stoul(c[3], nullptr, 16);
        const EditorState before = NewConfiguration();
        if (c[0] != "enc") {
            EXPECT_EQ(test::Get(Decoded(With(at, c[4]), before), c[1]),
                      c[2] == "-" ? test::Get(before, c[1]) : c[2]);
        }
        if (c[0] == "dec") continue;
        EditorState s = before;
        test::Set(s, c[1], c[2]);
        Image expected = DefaultImage();
        for (std::uint8_t b : Bytes(c[4])) expected[at++] = b;
        EXPECT_EQ(Encoded(s), expected);
    }
}

TEST(Codec, NewConfigurationAndFixedBytes) {
    EXPECT_EQ(Encoded(NewConfiguration()), DefaultImage());
    EXPECT_EQ(EncodeImage(NewConfiguration()),
              test::HexText(DefaultImage()));  // 1696 upper-case digits
    // Whatever the editor holds, the fixed bytes and the filler stay; information is cut at 32.
    EditorState s = NewConfiguration();
    for (auto& row : s.rows)
        row = {"xx", "999.99999", "Off", "999.99999", "Off", "High", "Off", "Wide", "Have"};
    for (auto& option : s.OptionValues) option = "255";
    s.InfoTexts = {std::string(40, 'Z'), std::string(40, 'Y')};
    const Image img = Encoded(s), fixed = test::FixedImage();
    for (std::size_t at = 0x100; at < 0x350; ++at) {
        const bool written =
            (at >= 0x11D && at < 0x12E && at != 0x11E && at != 0x122 && at != 0x123) ||
            (at >= 0x150 && at < 0x151) || (at >= 0x16E && at < 0x170) || at == 0x173 ||
            at == 0x178 || (at >= 0x270 && at < 0x2F0);
        const int want = at >= 0x2F0 && at < 0x330 ? (at < 0x310 ? 'Z' : 'Y')
                         : written                 ? -1
                                                   : fixed[at];
        if (want >= 0) {
            EXPECT_EQ(img[at], want) << std::hex << at;
        }
    }
}

TEST(Codec, DecodeEmptiesWhatTheImageHoldsAndKeepsTheRest) {
    EditorState before = NewConfiguration();
    test::Apply(
        before,
        "k2=2;o16=12345;o1=0;t1.1=462.01250;i1=HELLO;i2=WORLD;c1.1=446.00625;c1.5=Low;c1.8=Have;"
        "PF1=7;PF2=3;d1=3;m3=123#;SU=1;U1=-1");
    EditorState expected = before;
    for (auto& row : expected.rows) row = {row[0], "", "", "", "", "", "", "", ""};
    test::Apply(expected, "k10=1;PH=255;PL=255;SU=0;t1.1=;i1=;i2=");
    EXPECT_EQ(Decoded(Image(0x350, 0xFF), before), expected);

    // An empty receive empties the whole row, scan cell included.
    before.rows[4] = {"05", "435.00000", "Off", "435.00000", "Off", "Low", "Off", "Wide", "Have"};
    EXPECT_EQ(Decoded(With(0x40, "FFFFFFFF 25066044 13281328 E8C00000"), before).rows[4],
              expected.rows[4]);
    // Scan bits: channels 1, 8, 9 and 16.
    Image scan = With(0x16E, "81 81");
    for (int n = 1; n <= 16; ++n) scan[(n - 1) * 0x10 + 3] = 0x44, scan[(n - 1) * 0x10] = 0;
    const EditorState s = Decoded(scan);
    for (int n = 1; n <= 16; ++n) EXPECT_EQ(s.cell(n, ColScan), n % 8 < 2 ? "Have" : "No") << n;
}

TEST(Codec, RefusesTextItCannotRead) {
    const std::string good(2 * 0x330, 'F');
    const std::tuple<const char*, std::string, bool> cases[] = {
        // name, text, accepted
        {"empty", "", false},
        {"one character short of offset 32F", good.substr(1), false},
        {"exactly through 32F", good, true},
        {"non-hex inside", std::string(100, 'F') + "G" + std::string(2 * 0x330 - 101, 'F'), false},
        {"lower case hex", std::string(2 * 0x330, 'f'), true},
        {"a read's 1664 characters", std::string(1664, 'F'), true},
        {"a file's 1728 characters with an odd tail", good + std::string(95, '0') + "Z", true},
    };
    for (const auto& [name, text, accepted] : cases) {
        EditorState s = NewConfiguration();
        s.ServiceUnlocked = 1;
        EXPECT_EQ(DecodeImage(text, s), accepted) << name;
        EXPECT_EQ(s.ServiceUnlocked, accepted ? 0 : 1) << name;  // refused: untouched
    }
    EditorState s = NewConfiguration();
    EXPECT_FALSE(DecodeImageBytes(Image(0x32F, 0xFF), s));
    EXPECT_EQ(s, NewConfiguration());
}

}  // namespace
}  // namespace r7
