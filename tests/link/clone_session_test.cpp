// The clone protocol driven by hand: expected bytes are written out from the protocol tables.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "data_table.h"
#include "image_builder.h"
#include "link/clone_session.h"
#include "link/port_timeouts.h"

namespace r7::link {
namespace {

using Bytes = std::vector<std::uint8_t>;
using r7::test::HexText;

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
            [](const ShowMessage& e) { return "msg:" + std::to_string(e.flags) + ":" + e.text; },
            [&](const ToolBarEnabled& e) { return "toolbar:" + on(e.enabled); },
            [&](const ProgrammeMenuEnabled& e) { return "menu:" + on(e.enabled); },
            [&](const CommandButtonEnabled& e) { return "button" + std::string(1, e.command) + ":" + on(e.enabled); },
            [](const EnableModelFrameAndFocus&) { return std::string("focus"); },
            [](const ReadImageReady& e) { return "image:" + e.imageHex; },
            [](const TransferSucceeded& e) { return "ok:" + std::string(1, e.command); },
            [](const TransferFailed&) { return std::string("failed"); },
            [](const TransferInterrupted&) { return std::string("interrupted"); },
            [](const UiRestored&) { return std::string("restored"); },
        },
        effect);
}

// The machine plus a fake clock that fires Timer1 and Timer2 from the effects it sees.
struct Rig {
    std::vector<std::string> words;
    std::vector<Bytes> sent;
    std::string imageToWrite;
    std::function<void()> onMessage;
    long now = 0, watchdogDue = -1, blinkDue = -1;
    CloneSession session{[this](const Effect& e) { Record(e); }, [this] { return imageToWrite; }};

    void Record(const Effect& e) {
        words.push_back(Word(e));
        if (const auto* send = std::get_if<effect::SendBytes>(&e)) sent.push_back(send->bytes);
        if (std::holds_alternative<effect::WatchdogRestart>(e)) watchdogDue = now + kWatchdogIntervalMs;
        if (std::holds_alternative<effect::WatchdogStop>(e)) watchdogDue = -1;
        if (std::holds_alternative<effect::BlinkStart>(e)) blinkDue = now + kBlinkIntervalMs;
        if (std::holds_alternative<effect::BlinkStop>(e)) blinkDue = -1;
        if (std::holds_alternative<effect::ShowMessage>(e) && onMessage) onMessage();
    }
    void Advance(long ms) {
        for (const long end = now + ms;;) {
            const long next = std::min(watchdogDue < 0 ? end + 1 : watchdogDue, blinkDue < 0 ? end + 1 : blinkDue);
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
    void Handshake() {
        for (const Bytes& b : {Bytes{0x06}, kIdentity3207, Bytes{0x06}}) Receive(b);
    }
    Bytes LastSent() const { return sent.empty() ? Bytes{} : sent.back(); }
    // The words since effect `from` that start with one of `prefixes`, joined by blanks.
    std::string Trace(std::size_t from = 0, const std::vector<std::string>& prefixes = {""}) const {
        std::string out;
        for (std::size_t i = from; i < words.size(); ++i) {
            for (const auto& p : prefixes) {
                if (words[i].rfind(p, 0) == 0) {
                    out += (out.empty() ? "" : " ") + words[i];
                    break;
                }
            }
        }
        return out;
    }
    static inline const Bytes kIdentity3207 = {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF};
};

const Bytes kWake = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
const char kWatchdogText[] = " Make mistakes, please check interphone type, trouble, line and computer choice of the "
                             "communication port! ";

Bytes DataBlock(int address, int seed) {
    Bytes block = {0x57, static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF), 0x40};
    for (int i = 0; i < 64; ++i) block.push_back(static_cast<std::uint8_t>(seed * 64 + i * 7));
    return block;
}

TEST(CloneRead, SendsThirteenRequestsAndDeliversTheImageOnlyAfterTheLast) {
    Rig rig;
    ASSERT_EQ(rig.session.startRead(true), StartResult::Started);
    rig.Receive({0x06});
    rig.Receive(Rig::kIdentity3207);
    std::vector<Bytes> expected = {kWake, {0x02}, {0x06}};
    std::string image;
    for (int b = 0, a = 0x10; b < 13; ++b, a += 0x40) {
        rig.Receive({0x06});
        EXPECT_EQ(rig.Trace(0, {"image"}), "") << "block " << b;
        const Bytes block = DataBlock(a, b);
        image += HexText(Bytes(block.begin() + 4, block.end()));
        rig.Receive(block);
        expected.push_back({0x52, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF), 0x40});
        expected.push_back({0x06});
    }
    rig.Receive({0x06});
    expected.push_back({0x45});
    EXPECT_EQ(rig.sent, expected);
    ASSERT_EQ(image.size(), 1664u);
    EXPECT_EQ(rig.Trace(0, {"image"}), "image:" + image);
    EXPECT_EQ(rig.session.statusCaption(), "Reading succeeds frequently!");
    EXPECT_EQ(rig.session.progressValue(), 448);
    EXPECT_FALSE(rig.session.progressVisible());
    EXPECT_FALSE(rig.session.watchdogRunning());
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    // Whatever comes after End is thrown away and answered by nothing.
    const auto sentBefore = rig.sent.size();
    rig.Receive({0x06});
    EXPECT_EQ(rig.session.RxText(), "");
    rig.Advance(5000);
    EXPECT_EQ(rig.sent.size(), sentBefore);
}

TEST(CloneWrite, SendsTheBlocksOfTheWriteListWithTheirImageBytes) {
    for (const int service : {0, 1, -1}) {
        Rig rig;
        // Byte k of the image is k mod 251, so every block's data is recognisable.
        for (int k = 0; k < 848; ++k) rig.imageToWrite += HexText({static_cast<std::uint8_t>(k % 251)});
        ASSERT_EQ(rig.session.startWrite(true, service), StartResult::Started);
        rig.Handshake();
        for (int i = 0; i < 60 && rig.session.state() == TransferState::Transferring; ++i) rig.Receive({0x06});
        std::vector<Bytes> expected = {kWake, {0x02}, {0x06}};
        std::string progress;
        for (int a = 0x10; a <= 0x350; a += a == 0x170 ? (service ? 0x10 : 0x48) : a == 0x180 ? 0x38 : a == 0x1B8 ? 0x48 : 0x10) {
            Bytes block = {0x57, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF), 0x10};
            for (int k = a - 0x10; k < a; ++k) block.push_back(static_cast<std::uint8_t>(k % 251));
            expected.push_back(block);
        }
        expected.push_back({0x45});
        ASSERT_EQ(expected.size(), service ? 51u : 50u);  // 47 or 46 blocks
        for (int i = 1; i <= 46; ++i) progress += (i == 1 ? "p:" : " p:") + std::to_string(10 * i);
        EXPECT_EQ(rig.sent, expected) << service;
        EXPECT_EQ(rig.Trace(0, {"p:"}), progress);
        EXPECT_EQ(rig.session.statusCaption(), "Writing succeeds frequently!");
        EXPECT_FALSE(rig.session.watchdogRunning());
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
        EXPECT_TRUE(c[1] == "W" || replies.size() > 2 || (rig.session.LinkPhase() == 0) == (c[3] == "06")) << c[0];
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
    EXPECT_TRUE(rig.session.BreakSeen());
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
    EXPECT_EQ(rig.Trace(), "msg:64:The communication port has not been opened, please choose the menu of communication  "
                           "first Open its bunch of mouths! ");
    ASSERT_EQ(rig.session.startRead(true), StartResult::Started);
    EXPECT_EQ(rig.Trace(1), "toolbar:0 menu:0 buttonR:0 focus tx:50524F4752414D wd caption:Communicating, please waiting blink");
    EXPECT_EQ(rig.session.LinkCommand(), 'R');
    EXPECT_EQ(rig.session.LinkPhase(), 1);
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
    EXPECT_EQ(rig.Trace(first, {"wd", "status", "blink", "msg", "toolbar", "menu", "button", "progress", "tx", "failed"}),
              "wd- status:0 blink- msg:16:" + std::string(kWatchdogText) +
                  " toolbar:1 menu:1 buttonR:1 buttonW:1 progress- tx:45 wd- failed");
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_EQ(rig.session.startWrite(true, 0), StartResult::Started);
}

TEST(Supervision, FailedReadNeverReachesTheEditor) {
    for (bool portVanishes : {false, true}) {
        Rig rig;
        rig.session.startRead(true);
        rig.Handshake();
        for (int b = 0; b < 5; ++b) {
            rig.Receive(DataBlock(0x10 + b * 0x40, b));
            rig.Receive({0x06});
        }
        const long before = rig.now;
        if (portVanishes) rig.session.onPortError();  // at once, not 3 s later
        else rig.Advance(3000);
        EXPECT_EQ(rig.now - before, portVanishes ? 0 : 3000);
        EXPECT_EQ(rig.Trace(0, {"failed", "image"}), "failed");
        EXPECT_EQ(rig.session.state(), TransferState::Idle);
        EXPECT_EQ(rig.LastSent(), Bytes{0x45});
    }
}

TEST(Supervision, SuccessBlinksSixTicksThenRestoresBothButtons) {
    Rig rig;
    rig.imageToWrite = std::string(1696, 'F');
    rig.session.startWrite(true, 0);
    rig.Advance(400);  // ticks while communicating toggle the label but do not count
    EXPECT_EQ(rig.session.BlinkCount(), 0);
    EXPECT_TRUE(rig.session.statusVisible());
    rig.Handshake();
    while (rig.session.state() == TransferState::Transferring) rig.Receive({0x06});
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    const auto first = rig.words.size();
    rig.Advance(1000);
    EXPECT_EQ(rig.session.BlinkCount(), 5);
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    rig.Advance(200);
    EXPECT_EQ(rig.session.BlinkCount(), 0);
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_FALSE(rig.session.statusVisible());
    EXPECT_FALSE(rig.session.blinkRunning());
    // shown at 400 ms, then six toggles, then hidden for good; both buttons back, once
    EXPECT_EQ(rig.Trace(first, {"status", "button", "restored"}),
              "status:0 status:1 status:0 status:1 status:0 status:1 status:0 buttonR:1 buttonW:1 restored");
}

}  // namespace
}  // namespace r7::link
