#include <gtest/gtest.h>

#include <clocale>

#include "image/conversions.h"
#include "image/setting_lists.h"

namespace r7 {
namespace {

// The codec tables hold the band edges; here the digits between and what has no BCD form.
TEST(FrequencyBytes, FollowTheBcdRule) {
    EXPECT_EQ(*EncodeFrequency("435.12500"), (FrequencyBytes{0x00, 0x25, 0x51, 0x43}));
    const std::uint8_t bytes[] = {0x00, 0x25, 0x51, 0x43};
    EXPECT_EQ(DecodeFrequency(bytes), "435.12500");
    // Odd digits from a radio are copied as they are and survive the way back.
    const std::uint8_t odd[] = {0x0B, 0xA0, 0x6C, 0x4F};
    EXPECT_EQ(DecodeFrequency(odd), "4F6.CA00B");
    EXPECT_EQ(*EncodeFrequency("4F6.CA00B"), (FrequencyBytes{0x0B, 0xA0, 0x6C, 0x4F}));
    for (const char* bad : {"", "446.0062", "446,00625", "4460.0625", "446.00625 ", "abc"}) {
        EXPECT_FALSE(EncodeFrequency(bad).has_value()) << bad;
    }
}

// Words the codec tables do not already show.
TEST(ToneWords, MatchTheTable) {
    struct Case {
        const char* text;
        std::uint16_t word;
    };
    const Case cases[] = {
        {"67.0", 0x029E}, {"254.1", 0x09ED}, {"D023I", 0xA813}, {"D754N", 0x29EC}, {"Off", 0xFFFF},
        {"", 0xFFFF},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeTone(c.text), std::optional<std::uint16_t>(c.word)) << c.text;
        if (c.word != 0xFFFF) {
            EXPECT_EQ(DecodeTone(c.word), c.text);
        }
    }
    EXPECT_EQ(DecodeTone(0x2013), "D23N");  // bit 11 clear: fewer octal digits
}

TEST(ToneWords, EveryPickListEntrySurvivesTheWayThrough) {
    ASSERT_EQ(ToneList().size(), 261u);
    for (const std::string& tone : ToneList()) {
        if (tone == "Off") continue;
        auto word = EncodeTone(tone);
        ASSERT_TRUE(word.has_value()) << tone;
        EXPECT_EQ(DecodeTone(*word), tone);
    }
}

TEST(ToneWords, TextsWithoutAWordAreRefused) {
    // The codec stores "no tone" for these instead of bytes that mean something else.
    for (const char* t : {"D823N", "D8N", "D0234N", "abc", "88.55", "88", "838.9", "6553.5"}) {
        EXPECT_FALSE(EncodeTone(t).has_value()) << t;
    }
    // Decoded odd CTCSS values keep their word.
    EXPECT_EQ(EncodeTone("409.6"), std::optional<std::uint16_t>(0x1000));
    EXPECT_EQ(EncodeTone(".0"), std::optional<std::uint16_t>(0x0000));
}

// The values the codec tables leave out: empty cells and the remaining combination.
TEST(ChannelFlagBytes, FollowTheBitLayout) {
    EXPECT_EQ(EncodeBusyLock(""), 0xFF);
    EXPECT_EQ(DecodeBusyLock(0x08), "Carrier");  // only bits 4-3 count
    EXPECT_EQ(EncodePowerBand("High", "Narrow"), 0xE0);
    EXPECT_EQ(EncodePowerBand("", ""), 0xF0);
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

// Typed into the grid and pasted rows alike; their tables hold the ordinary cases.
TEST(FrequencyInput, AcceptsOneNumberOnly) {
    EXPECT_EQ(Frequency::FromTyped(" 435,5 ")->units(), 43550000);
    for (const char* bad : {"", "435.5.1", "4 35x"}) {
        EXPECT_FALSE(Frequency::FromTyped(bad).has_value()) << bad;
    }
}

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
