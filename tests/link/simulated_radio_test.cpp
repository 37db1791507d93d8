// The simulated radio answers as the program expects, and each fault spoils what it names.

#include <gtest/gtest.h>

#include "image_builder.h"
#include "sim/simulated_radio.h"

namespace r7::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;
const Bytes kWake = {'P', 'R', 'O', 'G', 'R', 'A', 'M'};

ImageBytes Pattern() { return r7::test::Pattern(0); }

Bytes Feed(SimulatedRadio& r, const Bytes& b) { return r.Receive(b); }

TEST(SimulatedRadio, AnswersAWholeSessionEvenWhenCommandsArriveInPieces) {
    SimulatedRadio radio(Pattern());
    EXPECT_EQ(Feed(radio, {'x', 'P', 'R', 'O'}), Bytes{});
    EXPECT_EQ(Feed(radio, {'G', 'R', 'A', 'M'}), Bytes{0x06});
    EXPECT_EQ(Feed(radio, {0x02}), (Bytes{0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF}));
    EXPECT_EQ(Feed(radio, {0x06}), Bytes{0x06});
    EXPECT_EQ(Feed(radio, {0x52, 0x01}), Bytes{});
    Bytes block = Feed(radio, {0x50, 0x40});  // radio 0150 = image offset 140
    ASSERT_EQ(block.size(), 68u);
    EXPECT_EQ(Bytes(block.begin(), block.begin() + 4), (Bytes{0x57, 0x01, 0x50, 0x40}));
    EXPECT_EQ(block[4], static_cast<std::uint8_t>(0x140 * 7));
    EXPECT_EQ(block[67], static_cast<std::uint8_t>(0x17F * 7));

    Bytes write = {0x57, 0x01, 0xB8, 0x10};
    for (int i = 0; i < 16; ++i) write.push_back(static_cast<std::uint8_t>(0xA0 + i));
    EXPECT_EQ(Feed(radio, write), Bytes{0x06});
    EXPECT_EQ(radio.Memory()[0x1A8], 0xA0);
    EXPECT_EQ(radio.Memory()[0x1B7], 0xAF);
    EXPECT_EQ(radio.Memory()[0x1B8], static_cast<std::uint8_t>(0x1B8 * 7));
    EXPECT_EQ(Feed(radio, {0x45}), Bytes{});
    EXPECT_EQ(radio.SessionsEnded(), 1);
    EXPECT_EQ(Feed(radio, kWake), Bytes{0x06});  // ready for the next one
}

TEST(SimulatedRadio, Faults) {
    const Bytes id = {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF};
    const struct {
        const char* fault;
        Bytes wakeReply, identityReply, ackReply, blockStart;
        std::size_t blockSize;
    } cases[] = {
        {"silent", {}, {}, {}, {}, 0},
        {"wrong-identity", {0x06}, {0x50, 0x34, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF}, {0x06}, {0x57}, 68},
        {"short-block", {0x06}, id, {0x06}, {0x57}, 67},
        {"garbage", {0x06, 0x00}, {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF, 0x00}, {0x06, 0x00}, {0x57}, 69},
        {"stop-after=0", {0x06}, id, {0x06}, {}, 0},
        {"wrong-ack", {0x06}, id, {0x15}, {0x57}, 68},
        {"double-reply", {0x06, 0x06},
         {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF, 0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF},
         {0x06, 0x06}, {0x57, 0x00, 0x10, 0x40}, 136},
        // the first block command is the one past N = 0: half of it, then nothing more
        {"close-after=0", {0x06}, id, {0x06}, {0x57, 0x00, 0x10, 0x40}, 34},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fault);
        SimulatedRadio radio(Pattern(), *ParseFault(c.fault));
        EXPECT_EQ(Feed(radio, kWake), c.wakeReply);
        EXPECT_EQ(Feed(radio, {0x02}), c.identityReply);
        EXPECT_EQ(Feed(radio, {0x06}), c.ackReply);
        Bytes block = Feed(radio, {0x52, 0x00, 0x10, 0x40});
        EXPECT_EQ(block.size(), c.blockSize);
        EXPECT_EQ(Bytes(block.begin(), block.begin() + static_cast<long>(c.blockStart.size())), c.blockStart);
    }
    EXPECT_FALSE(ParseFault("stop-after=").has_value());
    EXPECT_FALSE(ParseFault("close-after=-1").has_value());
    EXPECT_FALSE(ParseFault("loud").has_value());

    SimulatedRadio bad(Pattern(), *ParseFault("bad-store"));
    Feed(bad, kWake);
    Feed(bad, {0x02});
    Feed(bad, {0x06});
    Bytes write = {0x57, 0x00, 0x10, 0x10};
    write.resize(20, 0x40);
    EXPECT_EQ(Feed(bad, write), Bytes{0x06});
    EXPECT_EQ(bad.Memory()[0], 0x41);  // one byte stored wrong
    EXPECT_EQ(bad.Memory()[1], 0x40);
}

TEST(SimulatedRadio, CloseAfterHangsUpMidBlockAndStaysDead) {
    SimulatedRadio radio(Pattern(), *ParseFault("close-after=1"));
    Feed(radio, kWake);
    Feed(radio, {0x02});
    Feed(radio, {0x06});
    EXPECT_EQ(Feed(radio, {0x52, 0x00, 0x10, 0x40}).size(), 68u);
    EXPECT_EQ(Feed(radio, {0x06}), Bytes{0x06});
    EXPECT_FALSE(radio.HungUp());
    EXPECT_EQ(Feed(radio, {0x52, 0x00, 0x50, 0x40}).size(), 34u);
    EXPECT_TRUE(radio.HungUp());
    EXPECT_EQ(Feed(radio, {0x06}), Bytes{});
    EXPECT_EQ(Feed(radio, kWake), Bytes{});
}

}  // namespace
}  // namespace r7::sim
