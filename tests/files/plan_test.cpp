// Channel plans: the built-in tables against the regulations, fill and check.

#include <gtest/gtest.h>

#include "files/channel_csv.h"
#include "files/plan_files.h"
#include "image/editor_defaults.h"

namespace r7 {
namespace {

ChannelPlan Plan(const char* id) {
    PlanLoad load = LoadPlan(QString::fromLatin1(id));
    EXPECT_TRUE(load.plan.has_value()) << load.error.toStdString();
    return load.plan.value_or(ChannelPlan{});
}

// ECC Decision (15)05 and 47 CFR 95.563, written out by hand.
TEST(ChannelPlans, FillGivesTheRegulatoryChannels) {
    const std::vector<std::string> pmr = {"446.00625", "446.01875", "446.03125", "446.04375",
                                          "446.05625", "446.06875", "446.08125", "446.09375",
                                          "446.10625", "446.11875", "446.13125", "446.14375",
                                          "446.15625", "446.16875", "446.18125", "446.19375"};
    struct Case {
        const char* plan;
        std::vector<int> picks;
        std::vector<std::string> expected;  // receive = transmit of channels 1, 2, ...
    };
    const Case cases[] = {
        {"pmr446", Plan("pmr446").defaultPicks(), pmr},
        {"frs",
         {1, 7, 8, 14, 15, 22},
         {"462.56250", "462.71250", "467.56250", "467.71250", "462.55000", "462.72500"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plan);
        EditorState s = NewConfiguration();
        s.cell(16, ColReceive) = "";  // every channel that is not filled stays as it was
        const EditorState before = s;
        const PlanFill fill = FillFromPlan(s, Plan(c.plan), c.picks, BandLimits{});
        ASSERT_TRUE(fill.ok()) << fill.refusal;
        for (int ch = 1; ch <= kChannelCount; ++ch) {
            if (ch > static_cast<int>(c.expected.size())) {
                EXPECT_EQ(s.rows[ch - 1], before.rows[ch - 1]);
                continue;
            }
            const std::string& f = c.expected[ch - 1];
            EXPECT_EQ(s.rows[ch - 1], (ChannelRow{s.cell(ch, ColChannel), f, "Off", f, "Off", "Low",
                                                  "Off", "Narrow", "No"}));
        }
    }
    EXPECT_EQ(Plan("frs").channels.size(), 22u);
    EXPECT_EQ(Plan("frs").defaultPicks().size(), 16u);
}

// One finding per broken rule, with the channel number; clean channels and channels off the
// plan's frequencies give none, and nothing changes.
TEST(ChannelPlans, CheckListsWhatBreaksThePlan) {
    struct Case {
        const char* plan;
        ChannelRow row;  // channel 5
        std::vector<std::string> findings;
    };
    const Case cases[] = {
        {"pmr446", {"", "446.05625", "Off", "446.05625", "88.5", "Low", "Off", "Narrow", "No"}, {}},
        {"pmr446",
         {"", "446.05625", "Off", "446.05625", "Off", "High", "Off", "Wide", "No"},
         {"Channel 05 (PMR446 channel 5, 446.05625 MHz): Wide band; the plan requires Narrow",
          "Channel 05 (PMR446 channel 5, 446.05625 MHz): High power; the plan requires Low"}},
        {"pmr446",
         {"", "446.05625", "Off", "446.06875", "Off", "Low", "Off", "Narrow", "No"},
         {"Channel 05 (PMR446 channel 5, 446.05625 MHz): Receive 446.05625 MHz, Transmit "
          "446.06875 MHz; the plan requires Transmit = Receive = 446.05625 MHz"}},
        {"pmr446",
         {"", "440.00000", "Off", "446.19375", "Off", "Low", "Off", "Narrow", "No"},
         {"Channel 05 (PMR446 channel 16, 446.19375 MHz): Receive 440.00000 MHz, Transmit "
          "446.19375 MHz; the plan requires Transmit = Receive = 446.19375 MHz"}},
        {"pmr446", {"", "446.20625", "Off", "446.20625", "Off", "High", "Off", "Wide", "No"}, {}},
        {"frs", {"", "462.56250", "Off", "462.56250", "Off", "High", "Off", "Wide", "No"}, {}},
        {"frs",
         {"", "467.71250", "Off", "467.71250", "Off", "High", "Off", "Narrow", "No"},
         {"Channel 05 (FRS channel 14, 467.71250 MHz): High power; the plan requires Low"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row[ColReceive] + " " + c.row[ColTransmit]);
        EditorState s = NewConfiguration();
        ChannelRow row = c.row;
        row[ColChannel] = "05";
        s.rows[4] = row;
        const EditorState before = s;
        std::vector<std::string> texts;
        for (const PlanFinding& f : CheckAgainstPlan(s, Plan(c.plan))) {
            EXPECT_EQ(f.channel, 5);
            texts.push_back(f.text);
        }
        EXPECT_EQ(texts, c.findings);
        EXPECT_EQ(s, before);
    }
}

// A plan the radio cannot hold exactly, or a pick that does not fit, fills nothing.
TEST(ChannelPlans, RefusedWhole) {
    const std::string header = "# a comment\r\nLocation,Frequency,Mode\r\n";
    struct Case {
        std::string csv;
        std::vector<int> picks;
        BandLimits limits;
    };
    const Case cases[] = {
        {header + "1,446.00625,NFM\r\n2,446.00700,NFM\r\n", {1}, {}},  // off the raster
        {header + "1,446.00625,AM\r\n", {1}, {}},
        {header + "1,446.00625,NFM\r\n1,446.01875,NFM\r\n", {1}, {}},  // number twice
        {header + "1,446.00625,NFM\r\n", {2}, {}},
        {header + "1,446.00625,NFM\r\n", {}, {}},
        {header + "1,446.00625,NFM\r\n", {1}, {400, 440}},  // outside the chosen band
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        const CsvReadResult read =
            ReadCsvRecords(QByteArray::fromStdString(c.csv.substr(c.csv.find('\n') + 1)));
        const PlanReadResult plan = ReadChannelPlan("own", read.records);
        EditorState s = NewConfiguration();
        const EditorState before = s;
        if (plan.plan) {
            EXPECT_FALSE(FillFromPlan(s, *plan.plan, c.picks, c.limits).ok());
        }
        EXPECT_EQ(s, before);
    }
}

}  // namespace
}  // namespace r7
