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
using r7::test::HexText;
using r7::test::Pattern;
// How reply number n (from 0) reaches the session: the batches it is delivered in.
using Delivery = std::function<std::vector<Bytes>(std::size_t n, const Bytes& reply)>;

struct Outcome {
    std::vector<Bytes> sent;
    std::optional<std::string> image;
    bool succeeded = false, failed = false;
    std::vector<std::size_t> replySizes;
};

// Runs a read ('R') or write ('W') of Pattern(2) against a radio holding Pattern(1) until the
// session stops talking; a session left waiting ends in a watchdog tick, as the timer would.
Outcome Exchange(char command, const Delivery& how = [](std::size_t, const Bytes& r) { return std::vector<Bytes>{r}; }) {
    Outcome out;
    sim::SimulatedRadio radio(Pattern(1));
    std::deque<Bytes> replies;
    CloneSession session(
        [&](const Effect& e) {
            if (const auto* send = std::get_if<effect::SendBytes>(&e)) {
                out.sent.push_back(send->bytes);
                if (Bytes reply = radio.receive(send->bytes); !reply.empty()) replies.push_back(std::move(reply));
            }
            if (const auto* read = std::get_if<effect::ReadImageReady>(&e)) out.image = read->imageHex;
            out.succeeded = out.succeeded || std::holds_alternative<effect::TransferSucceeded>(e);
            out.failed = out.failed || std::holds_alternative<effect::TransferFailed>(e);
        },
        [] { return HexText(Pattern(2).data(), 848); });
    if (command == 'R') session.startRead(true);
    else session.startWrite(true, 0);
    for (; !replies.empty(); replies.pop_front()) {
        out.replySizes.push_back(replies.front().size());
        for (const Bytes& batch : how(out.replySizes.size() - 1, replies.front())) session.onBytesReceived(batch);
    }
    if (session.watchdogRunning()) session.Timer1_Timer();
    return out;
}

TEST(CloneExchange, EverySplitOfEveryReplyGivesTheSameOutcome) {
    const std::string memory = HexText(Pattern(1).data(), 0x340);
    for (char command : {'R', 'W'}) {
        const Outcome whole = Exchange(command);
        ASSERT_TRUE(whole.succeeded) << command;
        EXPECT_EQ(whole.image, command == 'R' ? std::optional(memory) : std::nullopt);
        EXPECT_EQ(whole.sent.size(), command == 'R' ? 3u + 13 * 2 + 1 : 3u + 46 + 1);
        const Outcome bytewise = Exchange(command, [](std::size_t, const Bytes& r) {
            std::vector<Bytes> batches;
            for (auto b : r) batches.push_back({b});
            return batches;
        });
        EXPECT_TRUE(bytewise.sent == whole.sent && bytewise.image == whole.image) << command;
        int cases = 0;
        for (std::size_t n = 0; n < whole.replySizes.size(); ++n) {
            for (std::size_t cut = 1; cut < whole.replySizes[n]; ++cut, ++cases) {
                const Outcome split = Exchange(command, [&](std::size_t k, const Bytes& r) {
                    if (k != n) return std::vector<Bytes>{r};
                    return std::vector<Bytes>{Bytes(r.begin(), r.begin() + static_cast<long>(cut)), Bytes(r.begin() + static_cast<long>(cut), r.end())};
                });
                ASSERT_TRUE(split.succeeded && split.sent == whole.sent && split.image == whole.image)
                    << command << " reply " << n << " cut " << cut;
            }
        }
        // identity 7 cuts; a read also 13 data blocks of 67 cuts each
        EXPECT_EQ(cases, command == 'R' ? 7 + 13 * 67 : 7) << command;
    }
}

// Repeating any one reply in a batch of its own: a read either fails or delivers exactly the
// radio's bytes, never a shifted or doubled block.
TEST(CloneExchange, ARepeatedReplyNeverSpoilsTheImage) {
    for (std::size_t n = 0; n < Exchange('R').replySizes.size(); ++n) {
        const Outcome twice = Exchange('R', [&](std::size_t k, const Bytes& r) {
            return k == n ? std::vector<Bytes>{r, r} : std::vector<Bytes>{r};
        });
        EXPECT_NE(twice.succeeded, twice.failed) << "reply " << n;
        EXPECT_TRUE(!twice.image || *twice.image == HexText(Pattern(1).data(), 0x340)) << "reply " << n;
        // The first data block (reply 3) again, right after the program acknowledged it: not appended.
        EXPECT_TRUE(n != 3 || (!twice.image && twice.failed));
    }
}

TEST(ReadBack, ComparesOnlyWrittenBytesTheReadReturned) {
    WriteRecord record;
    // 57 00 10 10: offsets 000-00F; 57 03 50 10: offsets 340-34F, beyond any read.
    Bytes first = {0x57, 0x00, 0x10, 0x10}, last = {0x57, 0x03, 0x50, 0x10};
    for (int i = 0; i < 16; ++i) first.push_back(static_cast<std::uint8_t>(0xA0 + i)), last.push_back(0x11);
    for (const Bytes& c : {first, last, Bytes{0x52, 0x00, 0x10, 0x40}, Bytes{0x57, 0x00, 0x20, 0x10, 0x00}}) {
        record.addSentCommand(c);  // a read request is no write; a write cut short is ignored
    }
    std::vector<std::uint8_t> read(0x340, 0xFF);
    std::copy(first.begin() + 4, first.end(), read.begin());
    const ReadBackComparison same = CompareReadBack(record, read);
    EXPECT_TRUE(same.ok() && same.compared == 16u && same.unverifiable == 16u);
    read[0x003] = 0x00;
    read[0x00F] = 0xAE;
    read[0x020] = 0x00;  // never written: not a difference
    const ReadBackComparison differ = CompareReadBack(record, read);
    ASSERT_EQ(differ.differences.size(), 2u);
    EXPECT_EQ(differ.text(), "2 written bytes differ on read-back: offset 003 wrote A3 read 00, offset 00F wrote AF read AE");
    EXPECT_EQ(differ.text(1), "2 written bytes differ on read-back: offset 003 wrote A3 read 00, ...");
    // A read becomes a whole image only when complete.
    const ImageBytes memory = Pattern(9);
    const auto image = ImageOfRead(HexText(memory.data(), 0x340));
    ASSERT_TRUE(image);
    EXPECT_TRUE(std::equal(memory.begin(), memory.begin() + 0x340, image->begin()));
    EXPECT_FALSE(ImageOfRead(HexText(memory.data(), 0x33F)));
    EXPECT_FALSE(ImageOfRead(HexText(memory.data(), 0x341)));
    EXPECT_FALSE(ImageOfRead(std::string(0x680, 'G')));
}

}  // namespace
}  // namespace r7::link
