// The simulated radio answers as the program expects, and each fault spoils what it names.

#include "sim/simulated_radio.h"

#include <gtest/gtest.h>

#include "data_table.h"
#include "image_builder.h"

namespace r7::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
using r7::test::HexText;
const Bytes kWake = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

std::string Feed(SimulatedRadio& r, const Bytes& b) { return HexText(r.receive(b)); }

TEST(SimulatedRadio, AnswersAWholeSessionEvenWhenCommandsArriveInPieces) {
    SimulatedRadio radio(r7::test::Pattern(0));
    EXPECT_EQ(Feed(radio, {'x', 'P', 'R', 'O'}), "");
    EXPECT_EQ(Feed(radio, {'G', 'R', 'A', 'M'}), "06");
    EXPECT_EQ(Feed(radio, {0x02}), "503332303733F8FF");
    EXPECT_EQ(Feed(radio, {0x06}), "06");
    EXPECT_EQ(Feed(radio, {0x52, 0x01}), "");
    // radio 0150 = image offset 140: 64 bytes of the pattern (k * 7)
    std::vector<std::uint8_t> data = {0x57, 0x01, 0x50, 0x40};
    for (int k = 0x140; k < 0x180; ++k) data.push_back(static_cast<std::uint8_t>(k * 7));
    EXPECT_EQ(Feed(radio, {0x50, 0x40}), HexText(data));
    Bytes write = {0x57, 0x01, 0xB8, 0x10};
    for (int i = 0; i < 16; ++i) write.push_back(static_cast<std::uint8_t>(0xA0 + i));
    EXPECT_EQ(Feed(radio, write), "06");
    EXPECT_EQ(HexText(radio.memory().data() + 0x1A8, 17),
              "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF08");  // 1B8 x 7
    EXPECT_EQ(Feed(radio, {0x45}), "");
    EXPECT_EQ(radio.sessionsEnded(), 1);
    EXPECT_EQ(Feed(radio, kWake), "06");  // ready for the next one
}

// Each fault's replies through a session: the table sim_faults.
TEST(SimulatedRadio, Faults) {
    for (const test::Fields& c : test::Table("sim_faults")) {
        SCOPED_TRACE(c[0]);
        SimulatedRadio radio(r7::test::Pattern(0), *ParseFault(c[0]));
        EXPECT_EQ(Feed(radio, kWake), c[1]);
        EXPECT_EQ(Feed(radio, {0x02}), c[2]);
        EXPECT_EQ(Feed(radio, {0x06}), c[3]);
        const std::string block = Feed(radio, {0x52, 0x00, 0x10, 0x40});
        EXPECT_EQ(block.size(), 2 * std::stoul(c[5].empty() ? "0" : c[5]));
        EXPECT_EQ(block.substr(0, c[4].size()), c[4]);
        EXPECT_EQ(radio.hungUp(), c[0] == "close-after=0");
        const std::string ack = Feed(radio, {0x06});
        EXPECT_EQ(ack + Feed(radio, kWake), c[6]);
    }
    for (const char* bad : {"stop-after=", "close-after=-1", "loud"})
        EXPECT_FALSE(ParseFault(bad).has_value()) << bad;
}

}  // namespace
}  // namespace r7::sim
