// Rules behind the auxiliary dialogs: test-frequency snapping, key filters, list values,
// the service-mode gestures and the about box's version line.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "image/conversions.h"
#include "image/dialog_lists.h"
#include "image/key_filters.h"
#include "image/service_mode.h"
#include "image/test_frequency_rules.h"
#include "image/version_text.h"

namespace {

using r7::TestFrequencyPair;

// FloatMod's remainders, through the two rasters of the test-frequency dialog.
TEST(TestFrequencyRules, SnapAsTyped) {
    struct Case { const char* typed; const char* receive; const char* transmit; };
    const Case cases[] = {
        {"462.013", "462.01250", "462.01000"}, {"462.015", "462.01500", "462.01500"},
        {"462.1", "462.10000", "462.10000"},   {"462.0125", "462.01250", "462.01250"},
        {"abc", "0.00000", "0.00000"},         {"-5", "0.00000", "0.00000"},
        {"0.004", "0.00000", "0.00000"},  // below a step the remainder is the number itself
        {" 4 62.0 07", "462.00625", "462.00500"}, {"469.99999", "469.99500", "469.99500"},
        {"469.9999", "469.99500", "469.99500"}, {"469.994", "469.99375", "469.99000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r7::SnapTestReceive(c.typed), c.receive) << c.typed;
        EXPECT_EQ(r7::SnapTestTransmit(c.typed), c.transmit) << c.typed;
    }
}

TEST(TestFrequencyRules, RowAfterEdit) {
    struct Case {
        TestFrequencyPair before;
        int column;
        const char* typed;
        TestFrequencyPair after;
    };
    const TestFrequencyPair row{"462.01250", "463.00000"};
    const Case cases[] = {
        {row, 1, "462.013", {"462.01250", "462.01250"}},
        {row, 1, "", {"", ""}},
        {row, 2, "462.013", {"462.01250", "462.01000"}},
        {row, 2, "", {"462.01250", "462.01250"}},
        // Values the eight BCD digits cannot hold are refused; the row stays as it was.
        {row, 1, "abc", row},
        {row, 1, "99.995", row},
        {row, 1, "1234.5", row},
        {row, 2, "abc", row},
        {row, 1, "100", {"100.00000", "100.00000"}},
        {row, 1, "999.99999", {"999.99500", "999.99500"}},
        // No transmit without receive.
        {{"", ""}, 2, "462.0125", {"", ""}},
        {{"", ""}, 1, "450", {"450.00000", "450.00000"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(r7::ApplyTestFrequencyEdit(c.before, c.column, c.typed), c.after)
            << c.column << " " << c.typed;
    }
}

TEST(TestFrequencyRules, TransmitOpensOnlyWithAReceive) {
    EXPECT_FALSE(r7::CanEditTestFrequency({"", ""}, 2));
    EXPECT_TRUE(r7::CanEditTestFrequency({"", ""}, 1));
}

std::string TypeCodeKeys(const std::u32string& keys, std::size_t max, std::u32string text = U"",
                bool selectAll = false) {
    for (char32_t k : keys) {
        auto in = r7::FilterCodeKey(k, text.size(), max, selectAll);
        if (!in) continue;
        if (selectAll) text.clear();
        selectAll = false;
        if (*in == r7::kKeyBackspace) {
            if (!text.empty()) text.pop_back();
        } else {
            text += *in;
        }
    }
    return std::string(text.begin(), text.end());
}

TEST(KeyFilters, CodeBoxes) {
    struct Case { std::u32string keys; std::size_t max; std::u32string start; bool sel; const char* text; };
    const Case cases[] = {
        {U"12ab*#", 10, U"", false, "12AB*#"},
        {U"e-,  xE", 10, U"", false, ""},
        {U"dD0", 16, U"", false, "DD0"},
        {U"5", 10, U"0123456789", false, "0123456789"},
        {U"\b", 10, U"0123456789", false, "012345678"},
        {U"7", 10, U"0123456789", true, "7"},
        {U"77", 16, U"0123456789ABCDEF", false, "0123456789ABCDEF"},
        {U"\b7", 16, U"0123456789ABCDEF", false, "0123456789ABCDE7"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TypeCodeKeys(c.keys, c.max, c.start, c.sel), c.text);
    }
}

TEST(KeyFilters, MemoryCellsAndInfoLines) {
    const std::vector<std::pair<char32_t, std::optional<char32_t>>> memory = {
        {U'a', U'A'}, {U'd', U'D'}, {U'E', std::nullopt}, {U' ', std::nullopt},
        {U',', std::nullopt}, {U'#', U'#'}, {U'*', U'*'}, {U'9', U'9'},
        {r7::kKeyEnter, r7::kKeyEnter}, {r7::kKeyBackspace, r7::kKeyBackspace},
    };
    for (auto [key, expected] : memory) EXPECT_EQ(r7::FilterMemoryKey(key), expected) << static_cast<int>(key);

    EXPECT_TRUE(r7::AcceptInfoKey(U'x', 31, false));
    EXPECT_TRUE(r7::AcceptInfoKey(U'中', 31, false));
    EXPECT_FALSE(r7::AcceptInfoKey(U'x', 32, false));
    EXPECT_FALSE(r7::AcceptInfoKey(U'x', 40, false));
    EXPECT_TRUE(r7::AcceptInfoKey(r7::kKeyBackspace, 32, false));
    EXPECT_TRUE(r7::AcceptInfoKey(U'x', 32, true));
}

TEST(DialogLists, StoredValueToItemAndBack) {
    using enum r7::ValueForm;
    const std::vector<std::string> items{"Off", "On"};
    const std::vector<std::string> group{"关闭", "*", "#", "A"};
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, "1"), 1);
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, "0"), 0);
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, "2"), -1);
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, "-1"), -1);
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, "x"), -1);
    EXPECT_EQ(r7::ListIndexOf(ListPosition, items, ""), -1);
    EXPECT_EQ(r7::ListIndexOf(ItemText, group, "#"), 2);
    EXPECT_EQ(r7::ListIndexOf(ItemText, group, "Off"), -1);
    EXPECT_EQ(r7::ListValueOf(ListPosition, items, 1), "1");
    EXPECT_EQ(r7::ListValueOf(ItemText, group, 0), "关闭");
    EXPECT_EQ(r7::ListValueOf(ItemText, group, -1), "");
}

struct FakeClock {
    double now = 0;
    r7::SecondsClock clock() {
        return [this] { return now; };
    }
};

TEST(UnlockGesture, ThreeHotSpotsWithinFiveSeconds) {
    struct Step { double at; int spot; bool unlocked; };
    struct Case { const char* name; std::vector<Step> steps; };
    const Case cases[] = {
        {"in time", {{100.2, 1, false}, {101, 2, false}, {104.9, 3, true}}},
        {"any order", {{50, 3, false}, {51, 1, false}, {52, 2, true}}},
        {"same spot twice", {{50, 1, false}, {51, 1, false}, {52, 2, false}}},
        {"third at 6 s opens a new window",
         {{10, 1, false}, {12, 2, false}, {16, 3, false}, {17, 1, false}, {18, 2, true}}},
        {"two spots never", {{10, 1, false}, {11, 2, false}, {12, 1, false}, {13, 2, false}}},
        {"repeat after success", {{10, 1, false}, {11, 2, false}, {12, 3, true}, {13, 1, true}}},
    };
    for (const Case& c : cases) {
        FakeClock fake;
        r7::UnlockGesture gesture(fake.clock());
        r7::EditorState state;
        for (const Step& s : c.steps) {
            fake.now = s.at;
            EXPECT_EQ(gesture.Click(state, s.spot), s.unlocked) << c.name << " at " << s.at;
            EXPECT_EQ(state.ServiceUnlocked, s.unlocked ? 1 : 0) << c.name;
        }
    }
}

TEST(UnlockGesture, KeepsItsStartInWholeClockSeconds) {
    FakeClock fake;
    r7::UnlockGesture gesture(fake.clock());
    r7::EditorState state;
    fake.now = 86399.7;  // a gesture across what would be midnight on a time-of-day clock
    gesture.Click(state, 2);
    EXPECT_EQ(state.UnlockClickTime, 86400);
    EXPECT_EQ(state.UnlockClick2, -1);
    fake.now = 86401.0;
    gesture.Click(state, 1);
    fake.now = 86402.0;
    EXPECT_TRUE(gesture.Click(state, 3));
    EXPECT_EQ(state.UnlockClick1, -1);
    EXPECT_EQ(state.UnlockClick3, -1);
}

TEST(ServiceRelock, SecondClickWithinOneSecond) {
    struct Case { const char* name; std::vector<double> clicks; std::vector<bool> relock; };
    const Case cases[] = {
        {"quick pair", {10.4, 10.7}, {false, true}},
        {"just under a second", {10.6, 11.59}, {false, true}},
        {"a full second", {10.6, 11.6}, {false, false}},
        {"slow pair disarms, third arms", {10, 13, 14, 14.5}, {false, false, false, true}},
    };
    for (const Case& c : cases) {
        FakeClock fake;
        r7::ServiceRelock relock(fake.clock());
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            fake.now = c.clicks[i];
            EXPECT_EQ(relock.Click(), c.relock[i]) << c.name << " click " << i + 1;
        }
    }
}

TEST(AboutVersionText, RevisionFollowsMinor) {
    EXPECT_EQ(r7::AboutVersionText(6, 0, 0), "English:6.00");
    EXPECT_EQ(r7::AboutVersionText(1, 2, 3), "English:1.23");
}

}  // namespace
