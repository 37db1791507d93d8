#include "image/conversions.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <map>
#include <set>

#include "data_table.h"
#include "image/dialog_lists.h"
#include "image/key_filters.h"
#include "image/setting_lists.h"
#include "image/test_frequency_rules.h"
#include "image/version_text.h"
#include "image_builder.h"

namespace r7 {
namespace {

using test::Fields;

std::string Word(std::optional<std::uint16_t> w) {
    return w ? test::HexText({static_cast<std::uint8_t>(*w >> 8), static_cast<std::uint8_t>(*w)})
             : "-";
}

std::uint16_t Hex16(const std::string& text) {
    return static_cast<std::uint16_t>(std::stoul(text, nullptr, 16));
}
ValueForm Form(const std::string& text) {
    return text == "pos" ? ValueForm::ListPosition : ValueForm::ItemText;
}
std::string Bcd(const std::optional<FrequencyBytes>& b) {
    return b ? test::HexText({b->begin(), b->end()}) : "-";
}
// Empty when decoding gives the text back.
std::string Back(bool same) { return same ? "" : " decodes otherwise"; }

std::string TypeCodeKeys(const Fields& c) {
    std::u32string text(c[3].begin(), c[3].end());
    bool selectAll = c[4] == "1";
    for (char k : c[1]) {
        auto in = FilterCodeKey(static_cast<char32_t>(k), text.size(), std::stoul(c[2]), selectAll);
        if (!in) continue;
        if (selectAll) text.clear();
        selectAll = false;
        if (*in != kKeyBackspace)
            text += *in;
        else if (!text.empty())
            text.pop_back();
    }
    return {text.begin(), text.end()};
}

using Rule = std::function<std::string(const Fields&)>;

// Text in, text out: each row of the case table text_rules names its rule first and ends
// with the expected text; every rule has rows and every row a rule.
TEST(TextRules, EveryRowOfEveryRule) {
    const std::map<std::string, Rule> rules = {
        {"raster", [](const Fields& c) { return RTurnNumber(c[1]); }},
        {"toneword", [](const Fields& c) { return Word(EncodeTone(c[1])); }},
        {"tonetext", [](const Fields& c) { return DecodeTone(Hex16(c[1])); }},
        {"tone",
         [](const Fields& c) {
             return Word(EncodeTone(c[1])) + Back(DecodeTone(Hex16(c[2])) == c[1]);
         }},
        {"bcd",
         [](const Fields& c) {
             return Bcd(EncodeFrequency(c[1])) +
                    Back(DecodeFrequency(test::Bytes(c[2]).data()) == c[1]);
         }},
        {"bcdword", [](const Fields& c) { return EncodeFrequency(c[1]) ? "bytes" : "-"; }},
        {"typed",
         [](const Fields& c) {
             const auto f = Frequency::FromTyped(c[1]);
             return f ? std::to_string(f->units()) : "-";
         }},
        {"busylock", [](const Fields& c) { return test::HexText({EncodeBusyLock(c[1])}); }},
        {"busylocktext", [](const Fields& c) { return DecodeBusyLock(test::Bytes(c[1])[0]); }},
        {"powerband",
         [](const Fields& c) {
             const auto cells = test::Split(c[1]);
             return test::HexText({EncodePowerBand(cells[0], cells[1])});
         }},
        {"snap",
         [](const Fields& c) { return SnapTestReceive(c[1]) + "|" + SnapTestTransmit(c[1]); }},
        {"testedit",
         [](const Fields& c) {
             const auto before = test::Split(c[1]);
             const TestFrequencyPair after =
                 ApplyTestFrequencyEdit({before[0], before[1]}, std::stoi(c[2]), c[3]);
             return after.receive + "|" + after.transmit;
         }},
        {"testeditable",
         [](const Fields& c) {
             return std::to_string(CanEditTestFrequency({"", ""}, std::stoi(c[1])));
         }},
        {"codekeys", TypeCodeKeys},
        {"infokey",
         [](const Fields& c) {
             return std::to_string(
                 AcceptInfoKey(std::stoul(c[1], nullptr, 16), std::stoul(c[2]), c[3] == "1"));
         }},
        {"memkey",
         [](const Fields& c) {
             return std::string(1, static_cast<char>(FilterMemoryKey(c[1][0]).value_or('-')));
         }},
        {"listindex",
         [](const Fields& c) {
             return std::to_string(ListIndexOf(Form(c[1]), test::Split(c[2]), c[3]));
         }},
        {"listvalue",
         [](const Fields& c) {
             return ListValueOf(Form(c[1]), test::Split(c[2]), std::stoi(c[3]));
         }},
        {"version",
         [](const Fields& c) {
             return AboutVersionText(std::stoi(c[1]), std::stoi(c[2]), std::stoi(c[3]));
         }},
    };
    std::set<std::string> checked;
    for (const Fields& c : test::Table("text_rules")) {
        ASSERT_TRUE(rules.contains(c[0])) << "no rule " << c[0];
        checked.insert(c[0]);
        EXPECT_EQ(rules.at(c[0])(c), c.back()) << test::Join(c, 0, " ");
    }
    EXPECT_EQ(checked.size(), rules.size());
}

TEST(ToneWords, EveryPickListEntrySurvivesTheWayThrough) {
    ASSERT_EQ(ToneList().size(), 261u);
    for (const std::string& tone : ToneList())
        EXPECT_TRUE(tone == "Off" || DecodeTone(EncodeTone(tone).value_or(0)) == tone) << tone;
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
