// Whole exchanges between the clone session and the in-process radio: replies split at every
// byte boundary or coming twice; and the comparison of a write with its read-back.

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "image_builder.h"
#include "link/clone_session.h"
#include "link/read_back.h"
#include "sim/simulated_radio.h"

namespace r7::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

using r7::test::Pattern;


// How the replies of the radio reach the session: reply number `reply` (counted from 0) is cut
// at byte `cut`; a reply may also be delivered twice, in a batch of its own.
struct Delivery {
    int splitReply = -1;
    std::size_t cut = 0;
    int repeatReply = -1;
    bool oneByteAtATime = false;
};

struct Outcome {
    std::vector<Bytes> sent;
    std::optional<std::string> image;
    bool succeeded = false;
    bool failed = false;
    std::vector<std::size_t> replySizes;
};

// Runs a read ('R') or write ('W') against the radio until the session stops talking; a
// session left waiting ends in a watchdog tick, as the timer would.
Outcome Exchange(char command, const ImageBytes& memory, const std::string& imageToWrite, const Delivery& how) {
    Outcome out;
    sim::SimulatedRadio radio(memory);
    std::deque<Bytes> replies;
    CloneSession session(
        [&](const Effect& e) {
            if (const auto* send = std::get_if<effect::SendBytes>(&e)) {
                out.sent.push_back(send->bytes);
                Bytes reply = radio.Receive(send->bytes);
                if (!reply.empty()) replies.push_back(std::move(reply));
            } else if (const auto* read = std::get_if<effect::ReadImageReady>(&e)) {
                out.image = read->imageHex;
            }
            out.succeeded = out.succeeded || std::holds_alternative<effect::TransferSucceeded>(e);
            out.failed = out.failed || std::holds_alternative<effect::TransferFailed>(e);
        },
        [&] { return imageToWrite; });
    if (command == 'R') session.startRead(true);
    else session.startWrite(true, 0);
    int number = 0;
    while (!replies.empty()) {
        const Bytes reply = replies.front();
        replies.pop_front();
        out.replySizes.push_back(reply.size());
        std::vector<Bytes> batches;
        if (how.oneByteAtATime) {
            for (auto b : reply) batches.push_back({b});
        } else if (number == how.splitReply) {
            batches.push_back(Bytes(reply.begin(), reply.begin() + static_cast<long>(how.cut)));
            batches.push_back(Bytes(reply.begin() + static_cast<long>(how.cut), reply.end()));
        } else {
            batches.push_back(reply);
        }
        if (number == how.repeatReply) batches.push_back(reply);
        ++number;
        for (const Bytes& batch : batches) session.onBytesReceived(batch);
    }
    if (session.watchdogRunning()) session.Timer1_Timer();
    return out;
}

TEST(CloneExchange, EverySplitOfEveryReplyGivesTheSameOutcome) {
    const ImageBytes memory = Pattern(1);
    std::string toWrite = test::HexText(Pattern(2).data(), 848);
    for (char command : {'R', 'W'}) {
        const Outcome whole = Exchange(command, memory, toWrite, {});
        ASSERT_TRUE(whole.succeeded) << command;
        if (command == 'R') {
            ASSERT_TRUE(whole.image);
            EXPECT_EQ(*whole.image, test::HexText(memory.data(), 0x340));
            EXPECT_EQ(whole.sent.size(), 3u + 13 * 2 + 1);
        } else {
            EXPECT_EQ(whole.sent.size(), 3u + 46 + 1);
        }
        const Outcome bytewise = Exchange(command, memory, toWrite, {.oneByteAtATime = true});
        EXPECT_EQ(bytewise.sent, whole.sent) << command;
        EXPECT_EQ(bytewise.image, whole.image) << command;
        int cases = 0;
        for (std::size_t r = 0; r < whole.replySizes.size(); ++r) {
            for (std::size_t cut = 1; cut < whole.replySizes[r]; ++cut, ++cases) {
                const Outcome split =
                    Exchange(command, memory, toWrite, {.splitReply = static_cast<int>(r), .cut = cut});
                ASSERT_TRUE(split.succeeded) << command << " reply " << r << " cut " << cut;
                ASSERT_EQ(split.sent, whole.sent) << command << " reply " << r << " cut " << cut;
                ASSERT_EQ(split.image, whole.image) << command << " reply " << r << " cut " << cut;
            }
        }
        // identity 7 cuts; a read also 13 data blocks of 67 cuts each
        EXPECT_EQ(cases, command == 'R' ? 7 + 13 * 67 : 7) << command;
    }
}

TEST(CloneExchange, ARepeatedReplyNeverSpoilsTheImage) {
    const ImageBytes memory = Pattern(3);
    const Outcome whole = Exchange('R', memory, {}, {});
    // Repeating any one reply in a batch of its own: a read either fails or delivers exactly the
    // radio's bytes, never a shifted or doubled block.
    for (std::size_t r = 0; r < whole.replySizes.size(); ++r) {
        const Outcome twice = Exchange('R', memory, {}, {.repeatReply = static_cast<int>(r)});
        EXPECT_NE(twice.succeeded, twice.failed) << "reply " << r;
        if (twice.image) {
            EXPECT_EQ(*twice.image, test::HexText(memory.data(), 0x340)) << "reply " << r;
        }
    }
    // The first data block (reply 3) again, right after the program acknowledged it: not appended.
    const Outcome block = Exchange('R', memory, {}, {.repeatReply = 3});
    EXPECT_FALSE(block.image);
    EXPECT_TRUE(block.failed);
}

TEST(ReadBack, ComparesOnlyWrittenBytesTheReadReturned) {
    WriteRecord record;
    // 57 00 10 10: offsets 000-00F; 57 03 50 10: offsets 340-34F, beyond any read.
    Bytes first = {0x57, 0x00, 0x10, 0x10}, last = {0x57, 0x03, 0x50, 0x10};
    for (int i = 0; i < 16; ++i) first.push_back(static_cast<std::uint8_t>(0xA0 + i)), last.push_back(0x11);
    record.addSentCommand(first);
    record.addSentCommand(last);
    record.addSentCommand(Bytes{0x52, 0x00, 0x10, 0x40});        // a read request is no write
    record.addSentCommand(Bytes{0x57, 0x00, 0x20, 0x10, 0x00});  // cut short: ignored
    std::vector<std::uint8_t> read(0x340, 0xFF);
    for (int i = 0; i < 16; ++i) read[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0xA0 + i);

    ReadBackComparison same = CompareReadBack(record, read);
    EXPECT_TRUE(same.ok());
    EXPECT_EQ(same.compared, 16u);
    EXPECT_EQ(same.unverifiable, 16u);

    read[0x003] = 0x00;
    read[0x00F] = 0xAE;
    read[0x020] = 0x00;  // never written: not a difference
    const ReadBackComparison differ = CompareReadBack(record, read);
    ASSERT_EQ(differ.differences.size(), 2u);
    EXPECT_EQ(differ.text(), "2 written bytes differ on read-back: offset 003 wrote A3 read 00, offset 00F "
                             "wrote AF read AE");
    EXPECT_EQ(differ.text(1), "2 written bytes differ on read-back: offset 003 wrote A3 read 00, ...");
}

TEST(ReadBack, AReadBecomesAWholeImageOnlyWhenComplete) {
    const ImageBytes memory = Pattern(9);
    const auto image = ImageOfRead(test::HexText(memory.data(), 0x340));
    ASSERT_TRUE(image);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 0x340, image->begin()));
    EXPECT_FALSE(ImageOfRead(test::HexText(memory.data(), 0x33F)));
    EXPECT_FALSE(ImageOfRead(test::HexText(memory.data(), 0x341)));
    EXPECT_FALSE(ImageOfRead(std::string(0x680, 'G')));
}

}  // namespace
}  // namespace r7::link
