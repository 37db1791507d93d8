// Channel plans: the built-in tables against the regulations, fill and check.

#include <gtest/gtest.h>

#include "data_table.h"
#include "files/channel_csv.h"
#include "files/plan_files.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

ChannelPlan Plan(const char* id) {
    PlanLoad load = LoadPlan(QString::fromLatin1(id));
    EXPECT_TRUE(load) << (load ? "" : load.error().toStdString());
    return load ? *load : ChannelPlan{};
}

// The table plan_fills, written out by hand from the regulations.
TEST(ChannelPlans, FillGivesTheRegulatoryChannels) {
    for (const test::Fields& row : test::Table("plan_fills")) {
        SCOPED_TRACE(row[0]);
        const ChannelPlan plan = Plan(row[0].c_str());
        std::vector<int> picks = row[1] == "-" ? plan.defaultPicks() : std::vector<int>{};
        for (const std::string& p : test::Split(row[1], ' ')) {
            if (p != "-") picks.push_back(std::stoi(p));
        }
        const std::vector<std::string> expected = test::Split(row[2], ' ');
        EditorState s = NewConfiguration();
        s.cell(16, ColReceive) = "";  // every channel that is not filled stays as it was
        const EditorState before = s;
        const PlanFill fill = FillFromPlan(s, plan, picks, BandLimits{});
        ASSERT_TRUE(fill.ok()) << fill.refusal;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (ch > static_cast<int>(expected.size())) {
                EXPECT_EQ(s.rows[ch - 1], before.rows[ch - 1]);
                continue;
            }
            const std::string& f = expected[ch - 1];
            EXPECT_EQ(s.rows[ch - 1], (ChannelRow{s.cell(ch, ColChannel), f, "Off", f, "Off", "Low",
                                                  "Off", "Narrow", "No"}));
        }
    }
    EXPECT_EQ(Plan("frs").channels.size(), 22u);
    EXPECT_EQ(Plan("frs").defaultPicks().size(), 16u);
}

// One finding per broken rule, with the channel number; nothing changes (table plan_checks).
TEST(ChannelPlans, CheckListsWhatBreaksThePlan) {
    for (const test::Fields& c : test::Table("plan_checks")) {
        SCOPED_TRACE(c[1]);
        EditorState s = NewConfiguration();
        test::SetCells(s, 5, c[1]);
        const EditorState before = s;
        std::vector<std::string> texts;
        for (const PlanFinding& f : CheckAgainstPlan(s, Plan(c[0].c_str()))) {
            EXPECT_EQ(f.channel, 5);
            texts.push_back(f.text);
        }
        EXPECT_EQ(texts, std::vector<std::string>(c.begin() + 2, c.end()));
        EXPECT_EQ(s, before);
    }
}

// A plan the radio cannot hold exactly, or a pick that does not fit, fills nothing (table
// plan_refusals).
TEST(ChannelPlans, RefusedWhole) {
    for (const test::Fields& c : test::Table("plan_refusals")) {
        SCOPED_TRACE(c[0]);
        const CsvReadResult read =
            ReadCsvRecords(QByteArray::fromStdString("Location,Frequency,Mode\r\n" + c[0]));
        const PlanReadResult plan = ReadChannelPlan("own", read.value());
        std::vector<int> picks;
        for (const std::string& p : test::Split(c[1], ' ')) {
            if (!p.empty()) picks.push_back(std::stoi(p));
        }
        const auto band = test::Split(c[2], ' ');
        const BandLimits limits =
            c[2].empty() ? BandLimits{} : BandLimits{std::stod(band[0]), std::stod(band[1])};
        EditorState s = NewConfiguration();
        const EditorState before = s;
        if (plan) {
            EXPECT_FALSE(FillFromPlan(s, *plan, picks, limits).ok());
        }
        EXPECT_EQ(s, before);
    }
}

}  // namespace
}  // namespace r7
