#include <gtest/gtest.h>

#include "image/channel_editing.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

const BandLimits kBand = BandLimitsOf("400-470MHz");

ChannelRow Row(std::initializer_list<const char*> cells) {
    ChannelRow r;
    std::size_t i = 0;
    for (const char* c : cells) r[i++] = c;
    return r;
}

TEST(ChannelEditing, AfterEditRules) {
    const ChannelRow empty = Row({"05", "", "", "", "", "", "", "", ""});
    const ChannelRow used = Row({"05", "440.00000", "88.5", "440.00000", "D023N", "High", "Carrier", "Narrow", "Have"});
    struct Case {
        const char* name;
        ChannelRow before;
        int column;
        const char* typed;
        EditResult result;
        ChannelRow after;
    };
    const Case cases[] = {
        {"new channel gets defaults", empty, 1, "435.0070", EditResult::Stored,
         Row({"05", "435.00625", "Off", "435.00625", "Off", "Low", "Off", "Wide", "No"})},
        {"receive of a used channel changes nothing else", used, 1, "446", EditResult::Stored,
         Row({"05", "446.00000", "88.5", "440.00000", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"lower limit accepted", empty, 1, "400", EditResult::Stored,
         Row({"05", "400.00000", "Off", "400.00000", "Off", "Low", "Off", "Wide", "No"})},
        {"last raster point accepted", used, 3, "469.99375", EditResult::Stored,
         Row({"05", "440.00000", "88.5", "469.99375", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"upper limit refused, cell emptied", used, 3, "470", EditResult::RangeError,
         Row({"05", "440.00000", "88.5", "", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"rounding up to the limit refused", used, 3, "469.999996", EditResult::RangeError,
         Row({"05", "440.00000", "88.5", "", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"below range empties only the receive cell", used, 1, "399.99", EditResult::RangeError,
         Row({"05", "", "88.5", "440.00000", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"junk reads as 0: out of range", used, 1, "abc", EditResult::RangeError,
         Row({"05", "", "88.5", "440.00000", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"number with junk is refused and kept", used, 1, "435.5abc", EditResult::Malformed, used},
        {"comma as decimal separator", used, 3, "435,0070", EditResult::Stored,
         Row({"05", "440.00000", "88.5", "435.00625", "D023N", "High", "Carrier", "Narrow", "Have"})},
        {"emptied receive empties the row", used, 1, "", EditResult::Stored, empty},
        {"emptied transmit copies receive", Row({"05", "446.00625", "Off", "440.00000", "Off", "Low", "Off", "Wide", "No"}),
         3, "", EditResult::Stored, Row({"05", "446.00625", "Off", "446.00625", "Off", "Low", "Off", "Wide", "No"})},
        {"power change touches nothing else", used, 5, "Low", EditResult::Stored,
         Row({"05", "440.00000", "88.5", "440.00000", "D023N", "Low", "Carrier", "Narrow", "Have"})},
        {"tone from the list", used, 4, "D754I", EditResult::Stored,
         Row({"05", "440.00000", "88.5", "440.00000", "D754I", "High", "Carrier", "Narrow", "Have"})},
        {"tone not in the list refused", used, 2, "88.6", EditResult::Refused, used},
        {"busy lock not in its list refused", used, 6, "On", EditResult::Refused, used},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditorState s = NewConfiguration();
        s.rows[4] = c.before;
        EXPECT_EQ(ApplyCellEdit(s, 5, c.column, c.typed, kBand), c.result);
        EXPECT_EQ(s.rows[4], c.after);
    }
}

TEST(ChannelEditing, EmptyChannelsOpenOnlyTheirReceiveCell) {
    EditorState s = NewConfiguration();
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(CanEditCell(s, 1, col), col == 1) << col;
    s.cell(1, ColReceive) = "446.00625";
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(CanEditCell(s, 1, col), col != 0) << col;
}

TEST(ChannelEditing, DeleteKeepsScanAndNumber) {
    EditorState s = NewConfiguration();
    s.rows[4] = Row({"05", "440.00000", "88.5", "440.00000", "D023N", "High", "Carrier", "Narrow", "Have"});
    DeleteChannel(s, 5);
    EXPECT_EQ(s.rows[4], Row({"05", "", "", "", "", "", "", "", "Have"}));
    EXPECT_EQ(DeleteMenuCaption(3), "Delete the data of 3channel");
    EXPECT_EQ(DeleteMenuCaption(16), "Delete the data of 16channel");
}

TEST(ChannelEditing, BandLimitsComeFromTheBandText) {
    EXPECT_EQ(BandLimitsOf("136-174MHz").lower, 136);
    EXPECT_EQ(BandLimitsOf("136-174MHz").upper, 174);
}

}  // namespace
}  // namespace r7
