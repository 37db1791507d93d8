#include <gtest/gtest.h>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image_builder.h"

namespace r7 {
namespace {

using test::DefaultImage;
using test::ImageBuilder;

std::vector<std::uint8_t> Encoded(const EditorState& s) {
    ImageBytes img = EncodeImageBytes(s);
    return {img.begin(), img.end()};
}

std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& v, std::size_t at, std::size_t n) {
    return {v.begin() + at, v.begin() + at + n};
}

TEST(EncodeImage, NewConfigurationGivesTheDerivedBytes) {
    const std::string hex = EncodeImage(NewConfiguration());
    ASSERT_EQ(hex.size(), 1696u);
    EXPECT_EQ(Encoded(NewConfiguration()), DefaultImage());
    EXPECT_EQ(hex.substr(0, 32), "FFFFFFFFFFFFFFFFFFFFFFFFFFF0FFFF");
}

TEST(EncodeChannels, WriteEachRecordField) {
    struct Case {
        const char* name;
        ChannelRow row;
        std::vector<std::uint8_t> record;
        bool scanBit;
    };
    const Case cases[] = {
        {"worked example",
         {"01", "446.00625", "Off", "446.00625", "D023N", "High", "Carrier", "Wide", "Have"},
         {0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF, 0x13, 0x28, 0xE8, 0xF0, 0xFF, 0xFF},
         true},
        {"low narrow, no transmit",
         {"01", "400.00000", "88.5", "", "", "Low", "Off", "Narrow", "No"},
         {0x00, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x03, 0xFF, 0xFF, 0xE0, 0xC0, 0xFF, 0xFF},
         false},
        {"inverted code, QT/DQT lock",
         {"01", "469.99375", "D754I", "469.99375", "100.0", "Low", "QT/DQT", "Wide", "Have"},
         {0x75, 0x93, 0x99, 0x46, 0x75, 0x93, 0x99, 0x46, 0xEC, 0xA9, 0xE8, 0x03, 0xF0, 0xD0, 0xFF, 0xFF},
         true},
        {"empty receive with leftovers is an empty channel",
         {"01", "", "88.5", "446.00625", "D023N", "Low", "Carrier", "Narrow", "Have"},
         {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF},
         false},
        {"texts the image cannot hold store no value",
         {"01", "446.00625", "D823N", "4460.0625", "409.6", "High", "?", "Wide", "No"},
         {0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10, 0xFF, 0xF0, 0xFF, 0xFF},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int channel : {1, 8, 9, 16}) {
            EditorState s = NewConfiguration();
            s.rows[channel - 1] = c.row;
            auto img = Encoded(s);
            EXPECT_EQ(Slice(img, (channel - 1) * 0x10, 16), c.record) << "channel " << channel;
            std::size_t scanByte = channel <= 8 ? 0x16E : 0x16F;
            EXPECT_EQ(img[scanByte], c.scanBit ? (1u << ((channel - 1) % 8)) : 0u);
        }
    }
}

TEST(EncodeSettings, WriteListPositionsAndOptions) {
    struct Case {
        const char* name;
        void (*edit)(EditorState&);
        std::size_t offset;
        std::uint8_t value;
    };
    const Case cases[] = {
        {"Radio Switch off", [](EditorState& s) { s.combo(10) = 0; }, 0x11D, 0x00},
        {"Language Chinese", [](EditorState& s) { s.combo(2) = 2; }, 0x11F, 0x02},
        {"LauchTime 180 S", [](EditorState& s) { s.combo(3) = 6; }, 0x120, 0x0C},
        {"pre-alert 10 s", [](EditorState& s) { s.combo(4) = 10; }, 0x121, 0x0A},
        {"Squelch 9 from its text", [](EditorState& s) { s.combo(5) = 8; }, 0x124, 0x09},
        {"Squelch 1", [](EditorState& s) { s.combo(5) = 0; }, 0x124, 0x01},
        {"Squelch without entry", [](EditorState& s) { s.combo(5) = -1; }, 0x124, 0x00},
        {"Battery Save off", [](EditorState& s) { s.combo(6) = 0; }, 0x125, 0x00},
        {"Beep off", [](EditorState& s) { s.combo(7) = 0; }, 0x126, 0x00},
        {"Cancel operation 0", [](EditorState& s) { s.option(23) = "0"; }, 0x127, 0x00},
        {"Prohibit VOX 0", [](EditorState& s) { s.option(24) = "0"; }, 0x128, 0x00},
        {"VOX off", [](EditorState& s) { s.option(6) = "0"; }, 0x129, 0x00},
        {"VOX gain 10", [](EditorState& s) { s.option(7) = "10"; }, 0x12A, 0x0A},
        {"VOX gain empty", [](EditorState& s) { s.option(7) = ""; }, 0x12A, 0x00},
        {"VOX gain too big is clamped", [](EditorState& s) { s.option(7) = "300"; }, 0x12A, 0xFF},
        {"VOX gain negative is clamped", [](EditorState& s) { s.option(7) = "-1"; }, 0x12A, 0x00},
        {"VOX delay 5", [](EditorState& s) { s.option(8) = "5"; }, 0x12B, 0x05},
        {"VOX carry off", [](EditorState& s) { s.option(9) = "0"; }, 0x12C, 0x00},
        {"Forbid return", [](EditorState& s) { s.combo(9) = 1; }, 0x12D, 0x01},
        {"Scan off", [](EditorState& s) { s.combo(8) = 0; }, 0x150, 0x00},
        {"Power High", [](EditorState& s) { s.PowerHigh = 255; }, 0x173, 0xFF},
        {"Power Low", [](EditorState& s) { s.PowerLow = 0; }, 0x178, 0x00},
        {"Power out of range clamped", [](EditorState& s) { s.PowerLow = 999; }, 0x178, 0xFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = NewConfiguration();
        c.edit(s);
        auto expected = DefaultImage();
        expected[c.offset] = c.value;
        EXPECT_EQ(Encoded(s), expected);  // that byte and no other changes
    }
}

TEST(EncodeImage, FixedBytesStayWhateverTheEditorHolds) {
    EditorState s = NewConfiguration();
    for (auto& row : s.rows) row = {"xx", "999.99999", "Off", "999.99999", "Off", "High", "Off", "Wide", "Have"};
    for (auto& option : s.OptionValues) option = "255";
    s.InfoTexts = {std::string(40, 'Z'), std::string(40, 'Y')};
    auto img = Encoded(s);
    auto fixed = ImageBuilder().withFixedBytes().bytes();
    for (std::size_t at : {0x122u, 0x123u}) EXPECT_EQ(img[at], 0x00);
    EXPECT_EQ(Slice(img, 0x1A8, 8), Slice(fixed, 0x1A8, 8));
    EXPECT_EQ(Slice(img, 0x330, 7), Slice(fixed, 0x330, 7));
    EXPECT_EQ(img[0x33C], 0x33);
    EXPECT_EQ(Slice(img, 0x340, 8), Slice(fixed, 0x340, 8));
    // Filler areas.
    struct Area { std::size_t at, n; };
    for (Area a : {Area{0x100, 29}, Area{0x11E, 1}, Area{0x12E, 34}, Area{0x151, 29}, Area{0x170, 3},
                   Area{0x174, 4}, Area{0x179, 47}, Area{0x1B0, 192}, Area{0x337, 5}, Area{0x33D, 3},
                   Area{0x348, 8}}) {
        EXPECT_EQ(Slice(img, a.at, a.n), std::vector<std::uint8_t>(a.n, 0xFF)) << std::hex << a.at;
    }
    EXPECT_EQ(Slice(img, 0x2F0, 32), std::vector<std::uint8_t>(32, 'Z'));  // first 32 only
    EXPECT_EQ(Slice(img, 0x310, 32), std::vector<std::uint8_t>(32, 'Y'));
}

TEST(EncodeTestFrequencies, UseTheirRowAndColumnOffsets) {
    EditorState s = NewConfiguration();
    s.testFrequency(1, 1) = "462.01250";
    s.testFrequency(1, 2) = "469.99375";
    s.testFrequency(2, 1) = "400.00000";
    s.testFrequency(16, 2) = "446.00625";
    s.testFrequency(3, 1) = "0.00000";  // cannot be held: stored as no frequency
    auto expected = ImageBuilder()
                        .withFixedBytes()
                        .withEmptyChannels()
                        .withDefaultSettings()
                        .put(0x270, {0x50, 0x12, 0x20, 0x46, 0x75, 0x93, 0x99, 0x46})
                        .put(0x278, {0x00, 0x00, 0x00, 0x40})
                        .put(0x2EC, {0x25, 0x06, 0x60, 0x44})
                        .bytes();
    EXPECT_EQ(Encoded(s), expected);
}

TEST(EncodeInformation, UsesSingleByteCodes) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::uint8_t> first;  // then FF up to 32
    };
    const Case cases[] = {
        {"plain", "AB", {0x41, 0x42}},
        {"latin-1 letter", "\xC3\xA9t\xC3\xA9", {0xE9, 0x74, 0xE9}},
        {"no single-byte code", "\xE4\xBD\xA0" "A", {'?', 'A'}},
        {"y-diaeresis is the padding byte", "\xC3\xBF", {'?'}},
        {"control byte kept", std::string("A\x01", 2), {0x41, 0x01}},
        {"broken UTF-8", "\xE4\xBD", {'?', '?'}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = NewConfiguration();
        s.InfoTexts[1] = c.text;
        auto img = Encoded(s);
        std::vector<std::uint8_t> line(32, 0xFF);
        std::copy(c.first.begin(), c.first.end(), line.begin());
        EXPECT_EQ(Slice(img, 0x310, 32), line);
        EXPECT_EQ(Slice(img, 0x2F0, 32), std::vector<std::uint8_t>(32, 0xFF));
    }
}

}  // namespace
}  // namespace r7
