#include "image/channel_editing.h"

#include <gtest/gtest.h>

#include "data_table.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

TEST(ChannelEditing, AfterEditRules) {
    const char* results[] = {"Stored", "RangeError", "Malformed", "Refused"};
    for (const test::Fields& c : test::Table("cell_edits")) {
        SCOPED_TRACE(c[0]);
        EditorState s = NewConfiguration();
        test::SetCells(s, 5, c[1]);
        const EditResult r = ApplyCellEdit(s, 5, std::stoi(c[2]), c[3], BandLimitsOf("400-470MHz"));
        EXPECT_EQ(results[static_cast<int>(r)], c[4]);
        EXPECT_EQ(test::Cells(s, 5), c[5] == "=" ? c[1] : c[5]);
        EXPECT_EQ(s.cell(5, ColChannel), "05");
    }
}

TEST(ChannelEditing, CellsThatOpenDeleteAndBandLimits) {
    EditorState s = NewConfiguration();
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(CanEditCell(s, 1, col), col == 1) << col;
    s.cell(1, ColReceive) = "446.00625";
    for (int col = 0; col <= 8; ++col) EXPECT_EQ(CanEditCell(s, 1, col), col != 0) << col;
    test::SetCells(s, 5, "440.00000|88.5|440.00000|D023N|High|Carrier|Narrow|Have");
    DeleteChannel(s, 5);  // keeps number and scan
    EXPECT_EQ(test::Cells(s, 5), "|||||||Have");
    EXPECT_EQ(s.cell(5, ColChannel), "05");
    EXPECT_EQ(DeleteMenuCaption(3), "Delete the data of 3channel");
    EXPECT_EQ(DeleteMenuCaption(16), "Delete the data of 16channel");
    EXPECT_EQ(BandLimitsOf("136-174MHz").lower, 136);
    EXPECT_EQ(BandLimitsOf("136-174MHz").upper, 174);
}

}  // namespace
}  // namespace r7
