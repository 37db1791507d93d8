#include "image/channel_clipboard.h"

#include <gtest/gtest.h>

#include "data_table.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

using test::Cells;

constexpr BandLimits kUhf{400, 470};

EditorState WithChannel3() {
    EditorState s = NewConfiguration();
    test::SetCells(s, 3, "440.00000|D023N|445.00000|88.5|High|Carrier|Narrow|Have");
    return s;
}

// A good paste follows the typing rules and changes channel 5 alone; any bad field refuses it all.
TEST(ChannelClipboard, PastedRows) {
    for (const test::Fields& c : test::Table("pastes")) {
        SCOPED_TRACE(c[1]);
        EditorState s = WithChannel3();
        test::SetCells(s, 5, "x|x|x|x|x|x|x|x");  // whatever was there goes
        EditorState expected = s;
        const int target = c[0] == "good" ? 5 : 15;
        const PasteResult r = PasteChannelRows(s, {target}, c[2], kUhf);
        std::string failing;
        for (const PasteProblem& p : r.problems)
            failing += std::to_string(p.line) + "." + std::to_string(p.column) + " ";
        if (c[0] == "good") test::SetCells(expected, 5, c[3]);
        EXPECT_EQ(failing, c[0] == "good" ? "" : c[3] + " ") << DescribePasteProblems(r.problems);
        EXPECT_EQ(r.channels, c[0] == "good" ? std::vector<int>{5} : std::vector<int>{});
        EXPECT_EQ(s, expected);
    }
}

TEST(ChannelClipboard, CopyThenPasteReproducesRows) {
    EditorState s = WithChannel3();
    s.cell(4, 8) = "Have";  // a deleted channel keeps its scan cell
    EXPECT_EQ(ChannelRowsText(s, {3, 4}),
              "440.00000\tD023N\t445.00000\t88.5\tHigh\tCarrier\tNarrow\tHave\r\n"
              "\t\t\t\t\t\t\tHave\r\n");
    ASSERT_TRUE(PasteChannelRows(
                    s, {4}, "433.05000\tD131I\t438.05000\t241.8\tLow\tQT/DQT\tWide\tHave\n", kUhf)
                    .ok());
    const PasteResult r =
        PasteChannelRows(s, {10, 11, 12}, ChannelRowsText(s, {3, 4}), kUhf);  // first target counts
    ASSERT_TRUE(r.ok()) << DescribePasteProblems(r.problems);
    EXPECT_EQ(r.channels, (std::vector<int>{10, 11}));
    EXPECT_EQ(Cells(s, 10), Cells(s, 3));
    EXPECT_EQ(Cells(s, 11), Cells(s, 4));
    EXPECT_TRUE(s.channelEmpty(12));
}

TEST(ChannelClipboard, OneRowFillsEverySelectedChannel) {
    EditorState s = NewConfiguration();
    const PasteResult r = PasteChannelRows(s, {9, 2, 7}, "446\t\t\t\tHigh\t\t\t\n", kUhf);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.channels, (std::vector<int>{2, 7, 9}));
    for (int ch : {2, 7, 9})
        EXPECT_EQ(Cells(s, ch), "446.00000|Off|446.00000|Off|High|Off|Wide|No");
    // A bad row is reported once, not once per selected channel.
    const PasteResult bad = PasteChannelRows(s, {1, 2, 3}, "480\t\t\t\t\t\t\t\n", kUhf);
    ASSERT_EQ(bad.problems.size(), 1u);
    EXPECT_EQ(bad.problems[0].describe(),
              "Line 1 (channel 01), Receive \"480\": outside the band, 400 to below 470 MHz");
}

// Only channels 1 to 16 take a paste or give a copy; the rest of a selection is left out.
TEST(ChannelClipboard, ChannelNumbersOneToSixteen) {
    using Ints = std::vector<int>;  // selected, pasted
    const std::pair<Ints, Ints> cases[] = {
        {{0}, {}}, {{1}, {1}}, {{16}, {16}}, {{17}, {}}, {{17, 16, 1, 0}, {1, 16}}};
    for (const auto& [selected, pasted] : cases) {
        EditorState s = NewConfiguration();
        EXPECT_EQ(PasteChannelRows(s, selected, "446\t\t\t\t\t\t\t\n", kUhf).channels, pasted);
    }
    EXPECT_EQ(
        ChannelRowsText(WithChannel3(), {0, 3, 16, 17}),
        "440.00000\tD023N\t445.00000\t88.5\tHigh\tCarrier\tNarrow\tHave\r\n\t\t\t\t\t\t\t\r\n");
}

}  // namespace
}  // namespace r7
