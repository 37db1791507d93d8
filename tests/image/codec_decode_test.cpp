#include <gtest/gtest.h>

#include "image/editor_defaults.h"
#include "image/image_codec.h"
#include "image_builder.h"

namespace r7 {
namespace {

using test::ImageBuilder;

EditorState Decoded(const std::vector<std::uint8_t>& image, EditorState start = NewConfiguration()) {
    EXPECT_TRUE(DecodeImageBytes(image, start));
    return start;
}

TEST(DecodeChannels, ReadEachRecordField) {
    struct Case {
        const char* name;
        std::initializer_list<std::uint8_t> record;
        ChannelRow expected;  // column 0 untouched; scan bytes are FF, so "Have"
    };
    const Case cases[] = {
        {"worked example",
         {0x25, 0x06, 0x60, 0x44, 0x25, 0x06, 0x60, 0x44, 0xFF, 0xFF, 0x13, 0x28, 0xE8, 0xF0, 0xFF, 0xFF},
         {"01", "446.00625", "Off", "446.00625", "D023N", "High", "Carrier", "Wide", "Have"}},
        {"no transmit, no encode tone",
         {0x00, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xE0, 0xC0, 0xFF, 0xFF},
         {"01", "400.00000", "Off", "", "", "Low", "Off", "Narrow", "Have"}},
        {"tone without transmit frequency is shown",
         {0x00, 0x00, 0x00, 0x40, 0xFF, 0xFF, 0xFF, 0xFF, 0x75, 0x03, 0xEC, 0xA9, 0xF0, 0xD0, 0x00, 0x00},
         {"01", "400.00000", "88.5", "", "D754I", "Low", "QT/DQT", "Wide", "Have"}},
        {"busy lock 11 reads empty, CTCSS not in the list",
         {0x75, 0x93, 0x99, 0x46, 0x75, 0x93, 0x99, 0x46, 0x00, 0x00, 0x00, 0x10, 0xFF, 0xE0, 0xFF, 0xFF},
         {"01", "469.99375", ".0", "469.99375", "409.6", "High", "", "Narrow", "Have"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = Decoded(ImageBuilder().channel(1, c.record).bytes());
        EXPECT_EQ(s.rows[0], c.expected);
    }
}

TEST(DecodeChannels, EmptyReceiveEmptiesTheWholeRow) {
    EditorState start = NewConfiguration();
    start.rows[4] = {"05", "435.00000", "Off", "435.00000", "Off", "Low", "Off", "Wide", "Have"};
    auto image = ImageBuilder()
                     .channel(5, {0xFF, 0xFF, 0xFF, 0xFF, 0x25, 0x06, 0x60, 0x44, 0x13, 0x28, 0x13,
                                  0x28, 0xE8, 0xC0, 0x00, 0x00})
                     .put(0x16E, {0xFF})
                     .bytes();
    EditorState s = Decoded(image, start);
    EXPECT_EQ(s.rows[4], (ChannelRow{"05", "", "", "", "", "", "", "", ""}));
}

TEST(DecodeScanList, MapsChannelsToBits) {
    auto image = ImageBuilder();
    for (int n = 1; n <= 16; ++n) {
        image.channel(n, {0x00, 0x00, 0x00, 0x44, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                          0xE0, 0xF0, 0xFF, 0xFF});
    }
    image.put(0x16E, {0x81}).put(0x16F, {0x81});  // channels 1, 8, 9, 16
    EditorState s = Decoded(image.bytes());
    for (int n = 1; n <= 16; ++n) {
        bool in = n == 1 || n == 8 || n == 9 || n == 16;
        EXPECT_EQ(s.cell(n, ColScan), in ? "Have" : "No") << "channel " << n;
    }
}

TEST(DecodeSettings, TakeOnlyAcceptedValues) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
        int combo;  // 0: an OptionValues position instead
        int option;
        int expectedPosition;  // -1: unchanged
        const char* expectedOption;
    };
    const Case cases[] = {
        {0x11D, 0x00, 10, 0, 0, nullptr},  {0x11D, 0x01, 10, 0, 0, nullptr},
        {0x11D, 0x02, 10, 0, 1, nullptr},
        {0x11F, 0x02, 2, 0, 2, nullptr},   {0x11F, 0x0A, 2, 0, -1, nullptr},
        {0x120, 0x0C, 3, 0, 6, nullptr},   {0x120, 0x0D, 3, 0, 6, nullptr},
        {0x120, 0x0E, 3, 0, -1, nullptr},  {0x120, 0x00, 3, 0, 0, nullptr},
        {0x121, 0x0A, 4, 0, 10, nullptr},  {0x121, 0x0B, 4, 0, -1, nullptr},
        {0x124, 0x00, 5, 0, -1, nullptr},  {0x124, 0x04, 5, 0, 3, nullptr},
        {0x124, 0x09, 5, 0, 8, nullptr},   {0x124, 0x0A, 5, 0, -1, nullptr},
        {0x125, 0x00, 6, 0, 0, nullptr},   {0x125, 0x02, 6, 0, -1, nullptr},
        {0x126, 0x00, 7, 0, 0, nullptr},   {0x126, 0x02, 7, 0, -1, nullptr},
        {0x12D, 0x01, 9, 0, 1, nullptr},   {0x12D, 0x02, 9, 0, -1, nullptr},
        {0x150, 0x00, 8, 0, 0, nullptr},   {0x150, 0x02, 8, 0, -1, nullptr},
        {0x127, 0x00, 0, 23, 0, "0"},      {0x127, 0x02, 0, 23, 0, "1"},
        {0x128, 0x00, 0, 24, 0, "0"},      {0x129, 0x00, 0, 6, 0, "0"},
        {0x12A, 0x0A, 0, 7, 0, "10"},      {0x12A, 0x0B, 0, 7, 0, "1"},
        {0x12B, 0x05, 0, 8, 0, "5"},       {0x12B, 0x06, 0, 8, 0, "1"},
        {0x12C, 0x00, 0, 9, 0, "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.offset << " = " << int(c.value));
        const EditorState before = NewConfiguration();
        EditorState s = Decoded(ImageBuilder().put(c.offset, {c.value}).bytes(), before);
        if (c.combo) {
            EXPECT_EQ(s.combo(c.combo), c.expectedPosition < 0 ? before.combo(c.combo) : c.expectedPosition);
        } else {
            EXPECT_EQ(s.option(c.option), c.expectedOption);
        }
    }
}

TEST(DecodeImage, AllFfGivesEmptyEditorAndLeavesTheRest) {
    EditorState before = NewConfiguration();
    before.combo(2) = 2;
    before.KeyPF1 = 7;
    before.KeyPF2 = 3;
    before.DtmfValues[0] = "3";
    before.DtmfMemories[2] = "123#";
    before.option(16) = "12345";
    before.option(1) = "0";
    before.ServiceUnlocked = 1;
    before.UnlockClick1 = -1;
    before.rows[0] = {"01", "446.00625", "Off", "446.00625", "Off", "Low", "Off", "Wide", "Have"};
    before.testFrequency(1, 1) = "462.01250";
    before.InfoTexts = {"HELLO", "WORLD"};

    EditorState s = Decoded(std::vector<std::uint8_t>(0x350, 0xFF), before);
    for (int n = 1; n <= 16; ++n) {
        for (int col = 1; col <= 8; ++col) EXPECT_EQ(s.cell(n, col), "");
        EXPECT_EQ(s.cell(n, 0), before.cell(n, 0));
    }
    EXPECT_EQ(s.combo(10), 1);
    EXPECT_EQ(s.combo(2), 2);
    EXPECT_EQ(s.combo(3), before.combo(3));
    EXPECT_EQ(s.PowerHigh, 255);
    EXPECT_EQ(s.PowerLow, 255);
    EXPECT_EQ(s.ServiceUnlocked, 0);
    EXPECT_EQ(s.testFrequency(1, 1), "");
    EXPECT_EQ(s.InfoTexts[0], "");
    EXPECT_EQ(s.InfoTexts[1], "");
    // Not carried by the image: kept.
    EXPECT_EQ(s.KeyPF1, 7);
    EXPECT_EQ(s.KeyPF2, 3);
    EXPECT_EQ(s.DtmfValues, before.DtmfValues);
    EXPECT_EQ(s.DtmfMemories, before.DtmfMemories);
    EXPECT_EQ(s.option(16), "12345");
    EXPECT_EQ(s.option(1), "0");
    EXPECT_EQ(s.UnlockClick1, -1);
    EXPECT_EQ(s.combo(1), before.combo(1));
}

TEST(DecodeCalibrationTestFrequenciesAndInformation, ReadTheirAreas) {
    auto image = ImageBuilder()
                     .put(0x173, {0x80})
                     .put(0x178, {0x00})
                     .put(0x270, {0x50, 0x12, 0x20, 0x46})  // row 1 receive 462.01250
                     .put(0x2EC, {0x75, 0x93, 0x99, 0x46})  // row 16 transmit
                     .put(0x2F0, {0x41, 0xFF, 0x42})        // "A", skipped FF, "B"
                     .put(0x310, {0xE9, 0x20, 0x7A})        // Latin-1 e-acute, blank, z
                     .bytes();
    EditorState s = Decoded(image);
    EXPECT_EQ(s.PowerHigh, 128);
    EXPECT_EQ(s.PowerLow, 0);
    EXPECT_EQ(s.testFrequency(1, 1), "462.01250");
    EXPECT_EQ(s.testFrequency(1, 2), "");
    EXPECT_EQ(s.testFrequency(16, 2), "469.99375");
    EXPECT_EQ(s.InfoTexts[0], "AB");
    EXPECT_EQ(s.InfoTexts[1], "\xC3\xA9 z");
}

TEST(DecodeImage, RefusesTextItCannotRead) {
    const EditorState before = NewConfiguration();
    const std::string good(2 * 0x330, 'F');
    struct Case {
        const char* name;
        std::string text;
        bool accepted;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"one character short of offset 32F", good.substr(1), false},
        {"exactly through 32F", good, true},
        {"non-hex inside", std::string(100, 'F') + "G" + std::string(2 * 0x330 - 101, 'F'), false},
        {"lower case hex", std::string(2 * 0x330, 'f'), true},
        {"a read's 1664 characters", std::string(1664, 'F'), true},
        {"a file's 1728 characters with an odd tail", good + std::string(95, '0') + "Z", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = before;
        s.ServiceUnlocked = 1;
        EXPECT_EQ(DecodeImage(c.text, s), c.accepted);
        EXPECT_EQ(s.ServiceUnlocked, c.accepted ? 0 : 1);  // refused: untouched
    }
    EditorState s = before;
    EXPECT_FALSE(DecodeImageBytes(std::vector<std::uint8_t>(0x32F, 0xFF), s));
    EXPECT_EQ(s, before);
}

}  // namespace
}  // namespace r7
