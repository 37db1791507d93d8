#include <gtest/gtest.h>

#include "image/channel_clipboard.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

constexpr BandLimits kUhf{400, 470};

using Row8 = std::array<std::string, 8>;

Row8 RowOf(const EditorState& s, int channel) {
    Row8 row;
    for (int col = 1; col <= 8; ++col) row[static_cast<std::size_t>(col - 1)] = s.cell(channel, col);
    return row;
}

EditorState WithChannel3() {
    EditorState s = NewConfiguration();
    const Row8 row{"440.00000", "D023N", "445.00000", "88.5", "High", "Carrier", "Narrow", "Have"};
    for (int col = 1; col <= 8; ++col) s.cell(3, col) = row[static_cast<std::size_t>(col - 1)];
    return s;
}

struct GoodPaste {
    const char* name;
    std::string text;
    Row8 expected;  // channel 5 afterwards
};

TEST(ChannelClipboard, PastedRowsFollowTheTypingRules) {
    const Row8 full{"446.00625", "67.0", "446.00625", "D754I", "High", "QT/DQT", "Narrow", "Have"};
    const GoodPaste cases[] = {
        {"eight fields, CRLF", "446.00625\t67.0\t446.00625\tD754I\tHigh\tQT/DQT\tNarrow\tHave\r\n", full},
        {"eight fields, no line end", "446.00625\t67.0\t446.00625\tD754I\tHigh\tQT/DQT\tNarrow\tHave", full},
        {"number first, ignored", "01\t446.00625\t67.0\t446.00625\tD754I\tHigh\tQT/DQT\tNarrow\tHave\n", full},
        {"trailing tab", "446.00625\t67.0\t446.00625\tD754I\tHigh\tQT/DQT\tNarrow\tHave\t\r\n", full},
        {"number and trailing tab", "16\t446.00625\t67.0\t446.00625\tD754I\tHigh\tQT/DQT\tNarrow\tHave\t\n", full},
        {"spreadsheet quotes and blanks",
         "\"446.00625\"\t 67.0 \t446.00625\t\"D754I\"\tHigh\tQT/DQT\tNarrow\tHave\r\n", full},
        {"letters case-blind, tone as a spreadsheet number",
         "446.00625\t67\t446.00625\td754i\tHIGH\tqt/dqt\tnarrow\thave\r\n", full},
        {"receive only: new-channel defaults", "435.0070\t\t\t\t\t\t\t\r\n",
         {"435.00625", "Off", "435.00625", "Off", "Low", "Off", "Wide", "No"}},
        {"off-raster snapped down, split transmit", "462.5624\tOff\t469.99999\tOff\tLow\tOff\tWide\tNo\n",
         {"462.56000", "Off", "469.99500", "Off", "Low", "Off", "Wide", "No"}},
        {"empty receive empties the channel", "\t67.0\t446.00625\tOff\tHigh\tOff\tWide\tHave\n",
         {"", "", "", "", "", "", "", ""}},
    };
    for (const GoodPaste& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = WithChannel3();
        for (int col = 1; col <= 8; ++col) s.cell(5, col) = "x";  // whatever was there goes
        EditorState before = s;
        const PasteResult r = PasteChannelRows(s, {5}, c.text, kUhf);
        ASSERT_TRUE(r.ok()) << DescribePasteProblems(r.problems);
        EXPECT_EQ(r.channels, std::vector<int>{5});
        EXPECT_EQ(RowOf(s, 5), c.expected);
        EXPECT_EQ(s.cell(5, 0), "05");
        before.rows[4] = s.rows[4];
        EXPECT_EQ(s, before);  // nothing but channel 5 changed
    }
}

struct BadPaste {
    const char* name;
    std::string text;
    std::vector<std::pair<int, int>> failing;  // (line, column) of each problem
};

TEST(ChannelClipboard, AnyBadFieldRefusesTheWholePaste) {
    const std::string good = "446.00625\tOff\t446.00625\tOff\tLow\tOff\tWide\tNo\r\n";
    const BadPaste cases[] = {
        {"upper band limit", good + "470\tOff\t446.00625\tOff\tLow\tOff\tWide\tNo\r\n", {{2, 1}}},
        {"transmit out of band", "446\tOff\t470.5\tOff\tLow\tOff\tWide\tNo\r\n", {{1, 3}}},
        {"number with letters", "435.5abc\tOff\t446\tOff\tLow\tOff\tWide\tNo\n", {{1, 1}}},
        {"unknown tone", "446\t67.1\t446\tD024N\tLow\tOff\tWide\tNo\n", {{1, 2}, {1, 4}}},
        {"power, busy lock, band, scan", "446\tOff\t446\tOff\tMedium\tOn\tWider\tYes\n",
         {{1, 5}, {1, 6}, {1, 7}, {1, 8}}},
        {"seven fields", good + "446\tOff\t446\tOff\tLow\tOff\tWide\n", {{2, 0}}},
        {"ten fields", "01\t446\tOff\t446\tOff\tLow\tOff\tWide\tNo\tx\n", {{1, 0}}},
        {"an empty line between rows", good + "\r\n" + good, {{2, 0}, {3, 0}}},
        {"beyond channel 16", good + good + good, {{3, 0}}},
        {"nothing to paste", "\r\n", {{0, 0}}},
    };
    for (const BadPaste& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = WithChannel3();
        const EditorState before = s;
        const PasteResult r = PasteChannelRows(s, {15}, c.text, kUhf);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.channels.empty());
        std::vector<std::pair<int, int>> failing;
        for (const PasteProblem& p : r.problems) failing.emplace_back(p.line, p.column);
        EXPECT_EQ(failing, c.failing) << DescribePasteProblems(r.problems);
        EXPECT_EQ(s, before);
    }
}

TEST(ChannelClipboard, CopyWritesTheEightDataColumnsWithCrLf) {
    EditorState s = WithChannel3();
    s.cell(4, 8) = "Have";  // a deleted channel keeps its scan cell
    EXPECT_EQ(ChannelRowsText(s, {3, 4}),
              "440.00000\tD023N\t445.00000\t88.5\tHigh\tCarrier\tNarrow\tHave\r\n"
              "\t\t\t\t\t\t\tHave\r\n");
}

TEST(ChannelClipboard, CopyThenPasteReproducesRows) {
    EditorState s = WithChannel3();
    const PasteResult seed = PasteChannelRows(
        s, {4}, "433.05000\tD131I\t438.05000\t241.8\tLow\tQT/DQT\tWide\tHave\n", kUhf);
    ASSERT_TRUE(seed.ok());
    const std::string copied = ChannelRowsText(s, {3, 4});
    const PasteResult r = PasteChannelRows(s, {10, 11, 12}, copied, kUhf);  // first target counts
    ASSERT_TRUE(r.ok()) << DescribePasteProblems(r.problems);
    EXPECT_EQ(r.channels, (std::vector<int>{10, 11}));
    EXPECT_EQ(RowOf(s, 10), RowOf(s, 3));
    EXPECT_EQ(RowOf(s, 11), RowOf(s, 4));
    EXPECT_TRUE(s.channelEmpty(12));
}

TEST(ChannelClipboard, OneRowFillsEverySelectedChannel) {
    EditorState s = NewConfiguration();
    const PasteResult r = PasteChannelRows(s, {9, 2, 7}, "446\t\t\t\tHigh\t\t\t\n", kUhf);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.channels, (std::vector<int>{2, 7, 9}));
    for (int ch : {2, 7, 9}) {
        EXPECT_EQ(RowOf(s, ch), (Row8{"446.00000", "Off", "446.00000", "Off", "High", "Off", "Wide", "No"}));
    }
    // A bad row is reported once, not once per selected channel.
    const PasteResult bad = PasteChannelRows(s, {1, 2, 3}, "480\t\t\t\t\t\t\t\n", kUhf);
    ASSERT_EQ(bad.problems.size(), 1u);
    EXPECT_EQ(bad.problems[0].describe(),
              "Line 1 (channel 01), Receive \"480\": outside the band, 400 to below 470 MHz");
}

}  // namespace
}  // namespace r7
