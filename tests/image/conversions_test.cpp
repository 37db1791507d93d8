#include <gtest/gtest.h>

#include <clocale>

#include "image/conversions.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

TEST(HexAndBitTexts, ConvertAsTheCodecExpects) {
    EXPECT_EQ(HexToBits("E8"), "11101000");
    EXPECT_EQ(HexToBits("0F"), "00001111");
    EXPECT_EQ(HexToBits("Z1"), "00000001");  // a non-hex character gives 0000
    std::string bits = "11101000";
    EXPECT_EQ(BitsToHex(bits), "E8");
    bits = "101";
    EXPECT_EQ(BitsToHex(bits), "5");
    EXPECT_EQ(bits, "0101");  // the argument is padded in place
    bits = "1x1";
    EXPECT_EQ(BitsToHex(bits), "5");
    EXPECT_EQ(HexByte(0), "00");
    EXPECT_EQ(HexByte(10), "0A");
    EXPECT_EQ(HexByte(255), "FF");
    EXPECT_EQ(HexByte(0x1EC), "1EC");
    EXPECT_EQ(HexWord(0x10), "0010");
    EXPECT_EQ(HexWord(0x350), "0350");
    EXPECT_EQ(HexWord(0x1B8), "01B8");
    EXPECT_EQ(HexWord(0x12345), "12345");
    EXPECT_EQ(HexWord(-1), "FFFF");
    EXPECT_EQ(HexWord(-32768), "8000");
    EXPECT_EQ(Hex2Dec("1f"), 31);
    EXPECT_EQ(Hex2Dec("1F"), 31);
    EXPECT_EQ(Hex2Dec(""), 0);
    EXPECT_EQ(Hex2Dec("1G"), 16);  // other characters count 0
}

TEST(FrequencyBytes, FollowTheBcdRule) {
    struct Case {
        const char* text;
        FrequencyBytes bytes;
    };
    const Case cases[] = {
        {"446.00625", {0x25, 0x06, 0x60, 0x44}},
        {"400.00000", {0x00, 0x00, 0x00, 0x40}},
        {"469.99375", {0x75, 0x93, 0x99, 0x46}},
        {"435.12500", {0x00, 0x25, 0x51, 0x43}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(EncodeFrequency(c.text).has_value());
        EXPECT_EQ(*EncodeFrequency(c.text), c.bytes);
        EXPECT_EQ(DecodeFrequency(c.bytes.data()), c.text);
    }
    // Odd digits from a radio are copied as they are and survive the way back.
    const std::uint8_t odd[] = {0x0B, 0xA0, 0x6C, 0x4F};
    EXPECT_EQ(DecodeFrequency(odd), "4F6.CA00B");
    EXPECT_EQ(*EncodeFrequency("4F6.CA00B"), (FrequencyBytes{0x0B, 0xA0, 0x6C, 0x4F}));
    for (const char* bad : {"", "446.0062", "446,00625", "4460.0625", "446.00625 ", "abc"}) {
        EXPECT_FALSE(EncodeFrequency(bad).has_value()) << bad;
    }
}

TEST(ToneWords, MatchTheTable) {
    struct Case {
        const char* text;
        std::uint16_t word;
    };
    const Case cases[] = {
        {"88.5", 0x0375},  {"100.0", 0x03E8}, {"67.0", 0x029E},  {"254.1", 0x09ED},
        {"D023N", 0x2813}, {"D023I", 0xA813}, {"D754N", 0x29EC}, {"D754I", 0xA9EC},
        {"Off", 0xFFFF},   {"", 0xFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(EncodeTone(c.text).has_value());
        EXPECT_EQ(*EncodeTone(c.text), c.word);
    }
    EXPECT_EQ(DecodeTone(0x0375), "88.5");
    EXPECT_EQ(DecodeTone(0x2813), "D023N");
    EXPECT_EQ(DecodeTone(0xA9EC), "D754I");
    EXPECT_EQ(DecodeTone(0x0000), ".0");
    EXPECT_EQ(DecodeTone(0x1000), "409.6");  // not in the list, still shown as CTCSS
    EXPECT_EQ(DecodeTone(0x2013), "D23N");   // bit 11 clear: fewer octal digits
}

TEST(ToneWords, EveryPickListEntrySurvivesTheWayThrough) {
    ASSERT_EQ(ToneList().size(), 261u);
    EXPECT_EQ(ToneList().front(), "Off");
    EXPECT_EQ(ToneList().back(), "D754I");
    EXPECT_EQ(ToneTableA.size(), 922u);
    EXPECT_EQ(ToneTableB.size(), 630u);
    EXPECT_EQ(ToneTableA.substr(0, 19), "Off|67.0|69.3|71.9|");
    EXPECT_EQ(ToneTableB.substr(0, 12), "D023I|D025I|");
    for (const std::string& tone : ToneList()) {
        if (tone == "Off") continue;
        auto word = EncodeTone(tone);
        ASSERT_TRUE(word.has_value()) << tone;
        EXPECT_EQ(DecodeTone(*word), tone);
    }
}

TEST(ToneWords, TextsWithoutAWordAreRefused) {
    // The codec stores "no tone" for these instead of bytes that mean something else.
    for (const char* t : {"D23N", "D0N", "D823N", "D0234N", "abc", "88.55", "88", "838.9", "6553.5"}) {
        EXPECT_FALSE(EncodeTone(t).has_value()) << t;
    }
    // Decoded odd CTCSS values keep their word.
    EXPECT_EQ(EncodeTone("409.6"), std::optional<std::uint16_t>(0x1000));
    EXPECT_EQ(EncodeTone(".0"), std::optional<std::uint16_t>(0x0000));
}

TEST(ChannelFlagBytes, FollowTheBitLayout) {
    EXPECT_EQ(EncodeBusyLock("Off"), 0xE0);
    EXPECT_EQ(EncodeBusyLock("Carrier"), 0xE8);
    EXPECT_EQ(EncodeBusyLock("QT/DQT"), 0xF0);
    EXPECT_EQ(EncodeBusyLock(""), 0xFF);
    EXPECT_EQ(DecodeBusyLock(0xE0), "Off");
    EXPECT_EQ(DecodeBusyLock(0xE8), "Carrier");
    EXPECT_EQ(DecodeBusyLock(0xF0), "QT/DQT");
    EXPECT_EQ(DecodeBusyLock(0xFF), "");
    EXPECT_EQ(DecodeBusyLock(0x08), "Carrier");  // only bits 4-3 count
    EXPECT_EQ(EncodePowerBand("High", "Wide"), 0xF0);
    EXPECT_EQ(EncodePowerBand("Low", "Narrow"), 0xC0);
    EXPECT_EQ(EncodePowerBand("Low", "Wide"), 0xD0);
    EXPECT_EQ(EncodePowerBand("High", "Narrow"), 0xE0);
    EXPECT_EQ(EncodePowerBand("", ""), 0xF0);
    EXPECT_EQ(DecodePower(0xF0), "High");
    EXPECT_EQ(DecodeBand(0xF0), "Wide");
    EXPECT_EQ(DecodePower(0xC0), "Low");
    EXPECT_EQ(DecodeBand(0xC0), "Narrow");
}

TEST(RTurnNumber, MovesDownOntoTheRaster) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"435.12345", "435.12000"}, {"435.0070", "435.00625"}, {"446.00625", "446.00625"},
        {"435", "435.00000"},       {"462.5624", "462.56000"}, {"469.99999", "469.99500"},
        {"400", "400.00000"},       {"469.99375", "469.99375"},
        // rounded at the fifth decimal before snapping
        {"446.006249", "446.00625"}, {"446.006245", "446.00625"}, {"435.006244", "435.00500"},
        {"435.000005", "435.00000"}, {"435,5", "435.50000"},
    };
    for (const Case& c : cases) EXPECT_EQ(RTurnNumber(c.in), c.out) << c.in;
}

TEST(FrequencyInput, AcceptsOneNumberOnly) {
    EXPECT_DOUBLE_EQ(*ParseFrequencyInput("435.5"), 435.5);
    EXPECT_DOUBLE_EQ(*ParseFrequencyInput(" 435,5 "), 435.5);
    EXPECT_DOUBLE_EQ(*ParseFrequencyInput("446"), 446.0);
    for (const char* bad : {"", "abc", "435.5abc", "435.5.1", "4 35x"}) {
        EXPECT_FALSE(ParseFrequencyInput(bad).has_value()) << bad;
    }
    EXPECT_DOUBLE_EQ(LeadingNumber("435.5abc"), 435.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber(" 4 6 2.1"), 462.1);
    EXPECT_DOUBLE_EQ(LeadingNumber("-5"), -5);
    EXPECT_EQ(LeadingInteger("10"), 10);
    EXPECT_EQ(LeadingInteger(""), 0);
}

TEST(FloatMod, GivesTheRemainderOfItsDefinition) {
    auto snap = [](double f) {  // the receive rule of the test-frequency dialog
        double r5 = FloatMod(0.005, f), r625 = FloatMod(0.00625, f);
        return FormatFrequency(r5 >= r625 ? f - r625 : f - r5);
    };
    EXPECT_EQ(snap(462.013), "462.01250");
    EXPECT_EQ(snap(462.015), "462.01500");
    EXPECT_EQ(snap(462.1), "462.10000");
    EXPECT_EQ(snap(0), "0.00000");
    EXPECT_EQ(snap(-5), "0.00000");
    EXPECT_EQ(snap(0.004), "0.00000");
    EXPECT_EQ(FloatMod(0.00625, 462.0125), 0);
    EXPECT_EQ(FloatMod(0.005, 0.003), 0.003);  // below the step: itself
    EXPECT_NEAR(FloatMod(0.005, 462.013), 0.003, 1e-9);
    EXPECT_NEAR(FloatMod(0.00625, 462.013), 0.0005, 1e-9);
}

}  // namespace
}  // namespace r7

namespace r7 {
namespace {

TEST(NumberTexts, DoNotFollowTheLocale) {
    // A window adopts the user's locale; a decimal comma must never reach a frequency text.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string saved = previous ? previous : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "no comma locale installed";
    }
    EXPECT_EQ(FormatFrequency(462.0125), "462.01250");
    EXPECT_DOUBLE_EQ(LeadingNumber("435.5"), 435.5);
    EXPECT_NEAR(FloatMod(0.005, 462.013), 0.003, 1e-9);
    std::setlocale(LC_NUMERIC, saved.c_str());
}

}  // namespace
}  // namespace r7
