// The simulated radio answers as the program expects, and each fault spoils what it names.

#include "sim/simulated_radio.h"

#include <gtest/gtest.h>

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
    EXPECT_EQ(Feed(radio, {0x02}),
              "5033323037"
              "33F8FF");
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
              "A0A1A2A3A4A5A6A7A8A9AAABACADAEAF"
              "08");  // 1B8 x 7
    EXPECT_EQ(Feed(radio, {0x45}), "");
    EXPECT_EQ(radio.sessionsEnded(), 1);
    EXPECT_EQ(Feed(radio, kWake), "06");  // ready for the next one
}

// Replies to the wake-up, identify, acknowledge, then the start and size of the first block,
// then to an acknowledge and a new wake-up.
TEST(SimulatedRadio, Faults) {
    const struct {
        const char* fault;
        const char *wake, *identity, *ack, *blockStart;
        std::size_t blockSize;
        const char* after;
    } cases[] = {
        {"silent", "", "", "", "", 0, ""},
        {"wrong-identity", "06",
         "5034323037"
         "33F8FF",
         "06", "57", 68, "0606"},
        {"short-block", "06",
         "5033323037"
         "33F8FF",
         "06", "57", 67, "0606"},
        {"garbage", "0600",
         "5033323037"
         "33F8FF00",
         "0600", "57", 69, "06000600"},
        {"stop-after=0", "06",
         "5033323037"
         "33F8FF",
         "06", "", 0, "06"},
        {"wrong-ack", "06",
         "5033323037"
         "33F8FF",
         "15", "57", 68, "1506"},
        {"double-reply", "0606",
         "5033323037"
         "33F8FF"
         "5033323037"
         "33F8FF",
         "0606", "57001040", 136, "06060606"},
        // the first block command is the one past N = 0: half of it, then the line stays dead
        {"close-after=0", "06",
         "5033323037"
         "33F8FF",
         "06", "57001040", 34, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SimulatedRadio radio(r7::test::Pattern(0), *ParseFault(c.fault));
        EXPECT_EQ(Feed(radio, kWake), c.wake);
        EXPECT_EQ(Feed(radio, {0x02}), c.identity);
        EXPECT_EQ(Feed(radio, {0x06}), c.ack);
        const std::string block = Feed(radio, {0x52, 0x00, 0x10, 0x40});
        EXPECT_EQ(block.size(), 2 * c.blockSize);
        EXPECT_EQ(block.substr(0, std::string(c.blockStart).size()), c.blockStart);
        EXPECT_EQ(radio.hungUp(), std::string(c.fault) == "close-after=0");
        const std::string ack = Feed(radio, {0x06});
        EXPECT_EQ(ack + Feed(radio, kWake), c.after);
    }
    for (const char* bad : {"stop-after=", "close-after=-1", "loud"})
        EXPECT_FALSE(ParseFault(bad).has_value()) << bad;
}

}  // namespace
}  // namespace r7::sim
