// The clone protocol driven by hand and against the in-process radio, its replies split at
// every byte boundary or coming twice; expected bytes are written out from the protocol tables.
// And the comparison of a write with its read-back.

#include "link/clone_session.h"

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "data_table.h"
#include "image_builder.h"
#include "link/port_timeouts.h"
#include "link/read_back.h"
#include "sim/simulated_radio.h"

namespace r7::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using r7::test::HexText;
using r7::test::Pattern;
// How reply number n (from 0) reaches the session: the batches it is delivered in.
using Delivery = std::function<std::vector<Bytes>(std::size_t n, const Bytes& reply)>;
const Delivery kWhole = [](std::size_t, const Bytes& r) { return std::vector<Bytes>{r}; };

template <class... F>
struct Overload : F... {
    using F::operator()...;
};
template <class... F>
Overload(F...) -> Overload<F...>;  // older clang deduces no aggregates

// One effect as a short word, its payload after a colon.
std::string Word(const Effect& effect) {
    using namespace effect;
    const auto on = [](bool b) { return std::string(b ? "1" : "0"); };
    return std::visit(
        Overload{
            [](const SendBytes& e) { return "tx:" + HexText(e.bytes); },
            [](const WatchdogRestart&) { return std::string("wd"); },
            [](const WatchdogStop&) { return std::string("wd-"); },
            [](const BlinkStart&) { return std::string("blink"); },
            [](const BlinkStop&) { return std::string("blink-"); },
            [](const ProgressShow& e) { return "progress:" + std::to_string(e.value); },
            [](const ProgressValue& e) { return "p:" + std::to_string(e.value); },
            [](const ProgressHide&) { return std::string("progress-"); },
            [](const StatusCaption& e) { return "caption:" + e.text; },
            [&](const StatusVisible& e) { return "status:" + on(e.visible); },
            [](const ShowMessage& e) {
                return (e.kind == MessageKind::Failure ? "failure:" : "notice:") + e.text;
            },
            [](const Busy& e) {
                return std::string(e.command == Command::Read ? "busyR" : "busyW");
            },
            [](const Ready&) { return std::string("ready"); },
            [](const ReadImageReady& e) { return "image:" + e.imageHex; },
            [](const TransferSucceeded& e) {
                return std::string(e.command == Command::Read ? "ok:R" : "ok:W");
            },
            [](const TransferFailed&) { return std::string("failed"); },
            [](const TransferInterrupted&) { return std::string("interrupted"); },
            [](const UiRestored&) { return std::string("restored"); },
        },
        effect);
}

// The machine plus a fake clock that fires Timer1 and Timer2 from the effects it sees; once
// connected, the in-process radio (holding Pattern(1)) answers what is sent.
struct Rig {
    std::vector<std::string> words;
    std::vector<Bytes> sent;
    std::string imageToWrite;
    std::function<void()> onMessage;
    std::optional<sim::SimulatedRadio> radio;
    std::deque<Bytes> replies;
    std::vector<std::size_t> replySizes;
    long now = 0, watchdogDue = -1, blinkDue = -1;
    CloneSession session{[this](const Effect& e) { Record(e); }, [this] { return imageToWrite; }};

    void Record(const Effect& e) {
        words.push_back(Word(e));
        if (const auto* send = std::get_if<effect::SendBytes>(&e)) {
            sent.push_back(send->bytes);
            if (Bytes reply = radio ? radio->receive(send->bytes) : Bytes{}; !reply.empty())
                replies.push_back(reply);
        }
        if (std::holds_alternative<effect::WatchdogRestart>(e))
            watchdogDue = now + kWatchdogIntervalMs;
        if (std::holds_alternative<effect::WatchdogStop>(e)) watchdogDue = -1;
        if (std::holds_alternative<effect::BlinkStart>(e)) blinkDue = now + kBlinkIntervalMs;
        if (std::holds_alternative<effect::BlinkStop>(e)) blinkDue = -1;
        if (std::holds_alternative<effect::ShowMessage>(e) && onMessage) onMessage();
    }
    void Advance(long ms) {
        for (const long end = now + ms;;) {
            const long next = std::min(watchdogDue < 0 ? end + 1 : watchdogDue,
                                       blinkDue < 0 ? end + 1 : blinkDue);
            if (next > end) {
                now = end;
                return;
            }
            now = next;
            if (next == watchdogDue) {
                watchdogDue = -1;
                session.Timer1_Timer();
            } else {
                blinkDue += kBlinkIntervalMs;
                session.Timer2_Timer();
            }
        }
    }
    void Receive(const Bytes& bytes) { session.onBytesReceived(bytes); }
    void Connect(sim::FaultSetting fault = {}) { radio.emplace(Pattern(1), fault); }
    // Hands over the radio's replies, each in the batches `how` cuts it into, until it is quiet.
    void Converse(const Delivery& how = kWhole) {
        for (; !replies.empty(); replies.pop_front()) {
            replySizes.push_back(replies.front().size());
            for (const Bytes& batch : how(replySizes.size() - 1, replies.front())) Receive(batch);
        }
    }
    Bytes LastSent() const { return sent.empty() ? Bytes{} : sent.back(); }
    // The words since effect `from` that start with one of `prefixes`, joined by blanks.
    std::string Trace(std::size_t from = 0, const std::vector<std::string>& prefixes = {""}) const {
        std::string out;
        for (std::size_t i = from; i < words.size(); ++i) {
            const auto starts = [&](const std::string& p) { return words[i].rfind(p, 0) == 0; };
            if (std::any_of(prefixes.begin(), prefixes.end(), starts))
                out += (out.empty() ? "" : " ") + words[i];
        }
        return out;
    }
};

const Bytes kWake = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
const char kWatchdogText[] =
    " Make mistakes, please check interphone type, trouble, line and computer choice of the "
    "communication port! ";

struct Outcome {
    std::vector<Bytes> sent;
    std::string ends;  // the image read, success or failure
    std::vector<std::size_t> replySizes;
};

// A read ('R') or write ('W') of Pattern(2) against the radio until it is quiet; a session
// left waiting ends in a watchdog tick.
Outcome Exchange(char command, const Delivery& how = kWhole) {
    Rig rig;
    rig.Connect();
    rig.imageToWrite = HexText(Pattern(2).data(), 848);
    command == 'R' ? rig.session.startRead(true) : rig.session.startWrite(true, 0);
    rig.Converse(how);
    rig.Advance(kWatchdogIntervalMs);
    return {rig.sent, rig.Trace(0, {"image", "ok", "failed"}), rig.replySizes};
}

const std::string kRadioText = HexText(Pattern(1).data(), 0x340);

TEST(CloneRead, SendsThirteenRequestsAndDeliversTheImageOnlyAfterTheLast) {
    Rig rig;
    rig.Connect();
    ASSERT_EQ(rig.session.startRead(true), StartResult::Started);
    rig.Converse();
    std::string expected = "tx:50524F4752414D tx:02 tx:06";
    for (int b = 0, a = 0x10; b < 13; ++b, a += 0x40) {
        const Bytes request = {0x52, static_cast<std::uint8_t>(a >> 8),
                               static_cast<std::uint8_t>(a & 0xFF), 0x40};
        expected += " p:" + std::to_string(32 * (b + 1)) + " tx:" + HexText(request) + " tx:06";
    }
    EXPECT_EQ(rig.Trace(0, {"tx", "p:", "image", "ok"}),
              expected + " p:448 image:" + kRadioText + " tx:45 ok:R");
    EXPECT_EQ(rig.Trace(rig.words.size() - 8),
              "p:448 wd- image:" + kRadioText +
                  " caption:Reading succeeds frequently! progress- tx:45 wd- ok:R");
}

TEST(CloneWrite, SendsTheBlocksOfTheWriteListWithTheirImageBytes) {
    for (const int service : {0, 1, -1}) {
        Rig rig;
        rig.Connect();
        // Byte k of the image is k mod 251, so every block's data is recognisable.
        for (int k = 0; k < 848; ++k)
            rig.imageToWrite += HexText({static_cast<std::uint8_t>(k % 251)});
        ASSERT_EQ(rig.session.startWrite(true, service), StartResult::Started);
        rig.Converse();
        std::vector<Bytes> expected = {kWake, {0x02}, {0x06}};
        for (int a = 0x10; a <= 0x350; a += a == 0x170   ? (service ? 0x10 : 0x48)
                                            : a == 0x180 ? 0x38
                                            : a == 0x1B8 ? 0x48
                                                         : 0x10) {
            Bytes block = {0x57, static_cast<std::uint8_t>(a >> 8),
                           static_cast<std::uint8_t>(a & 0xFF), 0x10};
            for (int k = a - 0x10; k < a; ++k) block.push_back(static_cast<std::uint8_t>(k % 251));
            expected.push_back(block);
        }
        expected.push_back({0x45});
        ASSERT_EQ(expected.size(), service ? 51u : 50u);  // 47 or 46 blocks
        EXPECT_EQ(rig.sent, expected) << service;
        std::string progress;
        for (int i = 1; i <= 46; ++i) progress += " p:" + std::to_string(10 * i);
        EXPECT_EQ(" " + rig.Trace(0, {"p:"}), progress);
        EXPECT_EQ(rig.Trace(rig.words.size() - 6),
                  "wd- caption:Writing succeeds frequently! progress- tx:45 wd- ok:W");
    }
}

TEST(CloneExchange, EverySplitOfEveryReplyGivesTheSameOutcome) {
    for (char command : {'R', 'W'}) {
        const Outcome whole = Exchange(command);
        EXPECT_EQ(whole.ends, command == 'R' ? "image:" + kRadioText + " ok:R" : "ok:W");
        const Outcome bytewise = Exchange(command, [](std::size_t, const Bytes& r) {
            std::vector<Bytes> batches;
            for (auto b : r) batches.push_back({b});
            return batches;
        });
        EXPECT_TRUE(bytewise.sent == whole.sent && bytewise.ends == whole.ends) << command;
        int cases = 0;
        for (std::size_t n = 0; n < whole.replySizes.size(); ++n) {
            for (std::size_t cut = 1; cut < whole.replySizes[n]; ++cut, ++cases) {
                const Outcome split = Exchange(command, [&](std::size_t k, const Bytes& r) {
                    if (k != n) return std::vector<Bytes>{r};
                    const auto at = r.begin() + static_cast<long>(cut);
                    return std::vector<Bytes>{Bytes(r.begin(), at), Bytes(at, r.end())};
                });
                ASSERT_TRUE(split.sent == whole.sent && split.ends == whole.ends)
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
        // The first data block (reply 3) again, right after the program acknowledged it: not
        // appended.
        EXPECT_TRUE(twice.ends == "failed" ||
                    (n != 3 && twice.ends == "image:" + kRadioText + " ok:R"))
            << "reply " << n;
    }
}

TEST(CloneHandshake, RepliesAreAcceptedOnlyWhole) {
    for (const test::Fields& c : test::Table("clone_replies")) {
        Rig rig;
        c[1] == "R" ? rig.session.startRead(true) : rig.session.startWrite(true, 0);
        const auto replies = test::Split(c[2], ' ');
        for (const std::string& r : replies) rig.Receive(test::Bytes(r));
        EXPECT_EQ(HexText(rig.LastSent()), c[3]) << c[0];
        EXPECT_EQ(rig.session.ReadImage().size(), std::stoul(c[4])) << c[0];
        EXPECT_EQ(rig.session.progressVisible(), replies.size() > 1 && c[3] != "02") << c[0];
    }
}

TEST(CloneLink, StrayBytesBreaksAndTimeouts) {
    Rig idle;  // bytes while idle are discarded
    idle.Receive({0x06, 0x50});
    EXPECT_EQ(idle.session.RxText(), "");
    EXPECT_TRUE(idle.words.empty());
    // A break drops the oldest byte of the next batch; the port's events arrive by their codes.
    Rig rig;
    rig.session.startRead(true);
    rig.session.OnPortEvent(3, Bytes{0x06});  // neither bytes received nor a break
    EXPECT_EQ(rig.LastSent(), kWake);
    rig.session.OnPortEvent(kEventBreak);
    rig.session.OnPortEvent(kEventReceive, Bytes{0xAA, 0x06});
    EXPECT_FALSE(rig.session.BreakSeen());
    EXPECT_EQ(rig.LastSent(), Bytes{0x02});
    Rig lone;
    lone.session.startRead(true);
    lone.session.onBreak();
    lone.Receive({0x06});  // the only byte goes, nothing is left to answer
    EXPECT_EQ(lone.session.RxText(), "");
    EXPECT_EQ(lone.LastSent(), kWake);
    // A babbling line cannot grow the received text without end.
    lone.Receive(Bytes(40000, 0x55));  // 80,000 hex digits, none of them an answer
    EXPECT_EQ(lone.session.RxText().size(), 65536u);
    // (512 \ 9600) x 10000 + 1000: the division drops the fraction.
    EXPECT_EQ(ClonePortTimeouts(), (PortTimeouts{1, 1, 1, 1, 1000}));
    EXPECT_EQ(ClonePortTimeouts(512, 9600).WriteTotalTimeoutConstant, 1000u);
    EXPECT_EQ(ClonePortTimeouts(19200, 9600).WriteTotalTimeoutConstant, 21000u);
    EXPECT_EQ(ClonePortTimeouts(9599, 9600).WriteTotalTimeoutConstant, 1000u);
}

TEST(Supervision, StartsAndRefusals) {
    Rig rig;
    EXPECT_EQ(rig.session.startRead(false), StartResult::NoPortOpen);
    EXPECT_EQ(rig.Trace(),
              "notice:The communication port has not been opened, please choose the menu of "
              "communication  "
              "first Open its bunch of mouths! ");
    ASSERT_EQ(rig.session.startRead(true), StartResult::Started);
    EXPECT_EQ(rig.Trace(1),
              "busyR tx:50524F4752414D wd caption:Communicating, please waiting blink");
    const auto count = rig.words.size();
    EXPECT_EQ(rig.session.startRead(true), StartResult::Busy);
    EXPECT_EQ(rig.session.startWrite(true, 1), StartResult::Busy);
    EXPECT_EQ(rig.words.size(), count);
}

TEST(Supervision, WatchdogEndsTheTransferThreeSecondsAfterTheLastCommand) {
    Rig rig;
    rig.session.startRead(true);
    rig.Advance(2000);
    rig.Receive({0x06});  // restarts the watchdog with the 02 it answers
    rig.Advance(2999);
    EXPECT_EQ(rig.session.state(), TransferState::Transferring);
    // While the message is open, arriving bytes are discarded and nothing can start.
    bool checkedDuringMessage = false;
    rig.onMessage = [&] {
        rig.Receive({0x06});
        EXPECT_EQ(rig.session.RxText(), "");
        EXPECT_EQ(rig.session.startRead(true), StartResult::Busy);
        EXPECT_NE(rig.LastSent(), Bytes{0x45});  // End goes out after the message closes
        checkedDuringMessage = true;
    };
    const auto first = rig.words.size();
    rig.Advance(1);
    EXPECT_TRUE(checkedDuringMessage);
    EXPECT_EQ(
        rig.Trace(first, {"wd", "status", "blink", "failure", "ready", "progress", "tx", "failed"}),
        "wd- status:0 blink- failure:" + std::string(kWatchdogText) +
            " ready progress- tx:45 wd- failed");
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_EQ(rig.session.startWrite(true, 0), StartResult::Started);
}

TEST(Supervision, FailedReadNeverReachesTheEditor) {
    for (bool portVanishes : {false, true}) {
        Rig rig;
        rig.Connect({sim::Fault::StopAfter, 5});
        rig.session.startRead(true);
        rig.Converse();
        if (portVanishes)
            rig.session.onPortError();  // at once, not 3 s later
        else
            rig.Advance(3000);
        EXPECT_EQ(rig.Trace(0, {"failed", "image"}), "failed");
        EXPECT_EQ(rig.now, portVanishes ? 0 : 3000);
        EXPECT_EQ(rig.session.state(), TransferState::Idle);
        EXPECT_EQ(rig.LastSent(), Bytes{0x45});
    }
}

TEST(Supervision, SuccessBlinksSixTicksThenRestoresBothButtons) {
    Rig rig;
    rig.Connect();
    rig.session.startWrite(true, 0);
    rig.Advance(400);  // ticks while communicating toggle the label but do not count
    rig.Converse();
    const auto first = rig.words.size();
    rig.Advance(1000);
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    rig.Advance(200);
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_EQ(rig.session.BlinkCount(), 0);
    // shown at 400 ms, then six toggles, then hidden for good; ready once
    EXPECT_EQ(
        rig.Trace(first, {"status", "blink", "ready", "restored"}),
        "status:0 status:1 status:0 status:1 status:0 status:1 status:0 blink- ready restored");
}

TEST(ReadBack, ComparesOnlyWrittenBytesTheReadReturned) {
    WriteRecord record;
    // 57 00 10 10: offsets 000-00F; 57 03 50 10: offsets 340-34F, beyond any read.
    Bytes first = {0x57, 0x00, 0x10, 0x10}, last = {0x57, 0x03, 0x50, 0x10};
    for (int i = 0; i < 16; ++i)
        first.push_back(static_cast<std::uint8_t>(0xA0 + i)), last.push_back(0x11);
    for (const Bytes& c :
         {first, last, Bytes{0x52, 0x00, 0x10, 0x40}, Bytes{0x57, 0x00, 0x20, 0x10, 0x00}}) {
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
    EXPECT_EQ(differ.text(),
              "2 written bytes differ on read-back: offset 003 wrote A3 read 00, offset 00F wrote "
              "AF read AE");
    EXPECT_EQ(differ.text(1),
              "2 written bytes differ on read-back: offset 003 wrote A3 read 00, ...");
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
