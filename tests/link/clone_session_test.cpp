// The clone protocol driven by hand: expected bytes are written out from the protocol tables.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_builder.h"
#include "link/clone_session.h"
#include "link/port_timeouts.h"

namespace r7::link {
namespace {

using Bytes = std::vector<std::uint8_t>;

using r7::test::HexText;

template <class Kind>
bool Is(const Effect& e) {
    return std::holds_alternative<Kind>(e);
}
template <class Kind>
std::size_t KindOf() {
    return Effect(Kind{}).index();
}
std::vector<std::size_t> Kinds(const std::vector<Effect>& effects, std::size_t first) {
    std::vector<std::size_t> out;
    for (auto i = first; i < effects.size(); ++i) out.push_back(effects[i].index());
    return out;
}

// The machine plus a fake clock that fires Timer1 and Timer2 from the effects it sees.
struct Rig {
    std::vector<Effect> effects;
    std::string imageToWrite;
    std::function<void(const effect::ShowMessage&)> onMessage;
    long now = 0;
    long watchdogDue = -1;
    long blinkDue = -1;
    CloneSession session{[this](const Effect& e) { Record(e); }, [this] { return imageToWrite; }};

    void Record(const Effect& e) {
        effects.push_back(e);
        if (Is<effect::WatchdogRestart>(e)) watchdogDue = now + kWatchdogIntervalMs;
        if (Is<effect::WatchdogStop>(e)) watchdogDue = -1;
        if (Is<effect::BlinkStart>(e)) blinkDue = now + kBlinkIntervalMs;
        if (Is<effect::BlinkStop>(e)) blinkDue = -1;
        if (Is<effect::ShowMessage>(e) && onMessage) onMessage(std::get<effect::ShowMessage>(e));
    }
    void Advance(long ms) {
        const long end = now + ms;
        while (true) {
            long next = end + 1;
            if (watchdogDue >= 0 && watchdogDue < next) next = watchdogDue;
            if (blinkDue >= 0 && blinkDue < next) next = blinkDue;
            if (next > end) break;
            now = next;
            if (next == watchdogDue) {
                watchdogDue = -1;
                session.Timer1_Timer();
            } else {
                blinkDue += kBlinkIntervalMs;
                session.Timer2_Timer();
            }
        }
        now = end;
    }
    void Receive(const Bytes& bytes) { session.onBytesReceived(bytes); }
    std::vector<Bytes> Sent() const {
        std::vector<Bytes> out;
        for (const auto& e : effects)
            if (const auto* send = std::get_if<effect::SendBytes>(&e)) out.push_back(send->bytes);
        return out;
    }
    template <class Kind>
    std::vector<const Kind*> Of() const {
        std::vector<const Kind*> out;
        for (const auto& e : effects)
            if (const auto* k = std::get_if<Kind>(&e)) out.push_back(k);
        return out;
    }
    Bytes LastSent() const { return Sent().empty() ? Bytes{} : Sent().back(); }
};

const Bytes kWake = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};
const Bytes kIdentity3207 = {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF};

void Handshake(Rig& rig) {
    rig.Receive({0x06});
    rig.Receive(kIdentity3207);
    rig.Receive({0x06});
}

Bytes DataBlock(int address, int seed) {
    Bytes block = {0x57, static_cast<std::uint8_t>(address >> 8),
                   static_cast<std::uint8_t>(address & 0xFF), 0x40};
    for (int i = 0; i < 64; ++i) block.push_back(static_cast<std::uint8_t>(seed * 64 + i * 7));
    return block;
}

TEST(CloneRead, SendsThirteenRequestsAndDeliversTheImageOnlyAfterTheLast) {
    Rig rig;
    ASSERT_EQ(rig.session.startRead(true), StartResult::Started);
    rig.Receive({0x06});
    rig.Receive(kIdentity3207);
    const int addresses[] = {0x0010, 0x0050, 0x0090, 0x00D0, 0x0110, 0x0150, 0x0190,
                             0x01D0, 0x0210, 0x0250, 0x0290, 0x02D0, 0x0310};
    std::vector<Bytes> expected = {kWake, {0x02}, {0x06}};
    std::string image;
    for (int b = 0; b < 13; ++b) {
        rig.Receive({0x06});
        EXPECT_TRUE(rig.Of<effect::ReadImageReady>().empty()) << "block " << b;
        Bytes block = DataBlock(addresses[b], b);
        image += HexText(Bytes(block.begin() + 4, block.end()));
        rig.Receive(block);
        expected.push_back({0x52, static_cast<std::uint8_t>(addresses[b] >> 8),
                            static_cast<std::uint8_t>(addresses[b] & 0xFF), 0x40});
        expected.push_back({0x06});
    }
    rig.Receive({0x06});
    expected.push_back({0x45});
    EXPECT_EQ(rig.Sent(), expected);
    auto ready = rig.Of<effect::ReadImageReady>();
    ASSERT_EQ(ready.size(), 1u);
    EXPECT_EQ(ready[0]->imageHex.size(), 1664u);
    EXPECT_EQ(ready[0]->imageHex, image);
    EXPECT_EQ(rig.session.statusCaption(), "Reading succeeds frequently!");
    EXPECT_EQ(rig.session.progressValue(), 448);
    EXPECT_FALSE(rig.session.progressVisible());
    EXPECT_FALSE(rig.session.watchdogRunning());
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);

    // Whatever comes after End is thrown away and answered by nothing.
    const auto sentBefore = rig.Sent().size();
    rig.Receive({0x06});
    EXPECT_EQ(rig.session.RxText(), "");
    rig.Advance(5000);
    EXPECT_EQ(rig.Sent().size(), sentBefore);
}

struct WriteCase {
    int service;
    std::size_t blocks;
};

class CloneWrite : public ::testing::TestWithParam<WriteCase> {};

TEST_P(CloneWrite, SendsTheBlocksOfTheWriteListWithTheirImageBytes) {
    Rig rig;
    // Byte k of the image is k mod 251, so every block's data is recognisable.
    for (int k = 0; k < 848; ++k) rig.imageToWrite += HexText({static_cast<std::uint8_t>(k % 251)});
    ASSERT_EQ(rig.session.startWrite(true, GetParam().service), StartResult::Started);
    Handshake(rig);
    for (int i = 0; i < 60 && rig.session.state() == TransferState::Transferring; ++i)
        rig.Receive({0x06});

    std::vector<int> addresses;
    for (int a = 0x0010; a <= 0x0170; a += 0x10) addresses.push_back(a);
    if (GetParam().service) addresses.push_back(0x0180);
    addresses.push_back(0x01B8);
    for (int a = 0x0200; a <= 0x0350; a += 0x10) addresses.push_back(a);
    ASSERT_EQ(addresses.size(), GetParam().blocks);

    std::vector<Bytes> expected = {kWake, {0x02}, {0x06}};
    for (int a : addresses) {
        Bytes block = {0x57, static_cast<std::uint8_t>(a >> 8), static_cast<std::uint8_t>(a & 0xFF),
                       0x10};
        for (int k = a - 0x10; k < a; ++k) block.push_back(static_cast<std::uint8_t>(k % 251));
        expected.push_back(block);
    }
    expected.push_back({0x45});
    EXPECT_EQ(rig.Sent(), expected);

    std::vector<int> progress;
    for (auto* e : rig.Of<effect::ProgressValue>()) progress.push_back(e->value);
    ASSERT_EQ(progress.size(), 46u);
    for (std::size_t i = 0; i < progress.size(); ++i)
        EXPECT_EQ(progress[i], static_cast<int>(10 * (i + 1)));
    EXPECT_EQ(rig.session.statusCaption(), "Writing succeeds frequently!");
    EXPECT_FALSE(rig.session.watchdogRunning());
}

INSTANTIATE_TEST_SUITE_P(ServiceMode, CloneWrite,
                         ::testing::Values(WriteCase{0, 46}, WriteCase{1, 47}, WriteCase{-1, 47}));

struct IdentityCase {
    const char* name;
    Bytes reply;
    bool accepted;
};

TEST(CloneHandshake, AcceptsTheIdentityOnlyAsEightBytesWithTheTextOnByteBoundaries) {
    const IdentityCase cases[] = {
        {"P3207 first", kIdentity3207, true},
        {"P2207 first", {0x50, 0x32, 0x32, 0x30, 0x37, 0xFF, 0xFF, 0xFF}, true},
        {"P3207 last", {0x00, 0x11, 0x22, 0x50, 0x33, 0x32, 0x30, 0x37}, true},
        {"P2207 in the middle", {0x00, 0x50, 0x32, 0x32, 0x30, 0x37, 0x22, 0x33}, true},
        {"nine bytes", {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF, 0xFF}, false},
        {"seven bytes", {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8}, false},
        {"other model", {0x50, 0x34, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF}, false},
        // hex "05033323037FFFFF" holds 5033323037 one digit off a byte boundary
        {"half a byte off", {0x05, 0x03, 0x33, 0x23, 0x03, 0x7F, 0xFF, 0xFF}, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.session.startRead(true);
        rig.Receive({0x06});
        rig.Receive(c.reply);
        EXPECT_EQ(rig.session.LinkPhase() == 0, c.accepted) << c.name;
        EXPECT_EQ(rig.LastSent() == Bytes{0x06}, c.accepted) << c.name;
        EXPECT_EQ(rig.session.progressVisible(), c.accepted) << c.name;
    }
}

TEST(CloneHandshake, AnswersOnlyAnExactAcknowledge) {
    const struct {
        Bytes reply;
        bool answered;
    } cases[] = {{{0x06}, true}, {{0x06, 0x06}, false}, {{0x15}, false}, {{0x06, 0x00}, false}};
    for (const auto& c : cases) {
        Rig rig;
        rig.session.startWrite(true, 0);
        rig.Receive(c.reply);
        EXPECT_EQ(rig.LastSent() == Bytes{0x02}, c.answered) << HexText(c.reply);
    }
}

TEST(CloneRead, DataBlockRules) {
    const Bytes block = DataBlock(0x0777, 3);  // the address bytes are not compared
    const struct {
        const char* name;
        std::vector<Bytes> batches;
        bool accepted;
    } cases[] = {
        {"one batch, other address", {block}, true},
        {"69th byte in the last batch",
         {Bytes(block.begin(), block.begin() + 60), [&] {
              Bytes tail(block.begin() + 60, block.end());
              tail.push_back(0x00);
              return tail;
          }()},
         false},
        {"wrong first byte", {[&] { Bytes b = block; b[0] = 0x58; return b; }()}, false},
        {"wrong length byte", {[&] { Bytes b = block; b[3] = 0x41; return b; }()}, false},
    };
    for (const auto& c : cases) {
        Rig rig;
        rig.session.startRead(true);
        Handshake(rig);
        for (const auto& batch : c.batches) rig.Receive(batch);
        EXPECT_EQ(rig.LastSent() == Bytes{0x06}, c.accepted) << c.name;
        EXPECT_EQ(rig.session.ReadImage().size(), c.accepted ? 128u : 0u) << c.name;
    }
}

// A break drops the oldest byte of the next batch; the port's events arrive by their codes.
TEST(CloneLink, BreakDropsTheOldestByteOfTheNextBatch) {
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
}

TEST(CloneLink, BytesWhileIdleAreDiscarded) {
    Rig rig;
    rig.Receive({0x06, 0x50});
    EXPECT_EQ(rig.session.RxText(), "");
    EXPECT_TRUE(rig.effects.empty());
}

TEST(CloneLink, ABabblingLineCannotGrowTheReceivedTextWithoutEnd) {
    Rig rig;
    rig.session.startRead(true);
    rig.Receive(Bytes(40000, 0x55));  // 80,000 hex digits, none of them an answer
    EXPECT_EQ(rig.session.RxText().size(), 65536u);
}

TEST(CloneLink, PortTimeoutsOfTheFixedLineSettings) {
    // (512 \ 9600) x 10000 + 1000: the division drops the fraction.
    EXPECT_EQ(ClonePortTimeouts(), (PortTimeouts{1, 1, 1, 1, 1000}));
    EXPECT_EQ(ClonePortTimeouts(512, 9600).WriteTotalTimeoutConstant, 1000u);
    EXPECT_EQ(ClonePortTimeouts(19200, 9600).WriteTotalTimeoutConstant, 21000u);
    EXPECT_EQ(ClonePortTimeouts(9599, 9600).WriteTotalTimeoutConstant, 1000u);
}

TEST(Supervision, StartRefusalsChangeNothing) {
    Rig rig;
    EXPECT_EQ(rig.session.startRead(false), StartResult::NoPortOpen);
    ASSERT_EQ(rig.effects.size(), 1u);
    const auto* message = std::get_if<effect::ShowMessage>(&rig.effects[0]);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(message->text,
              "The communication port has not been opened, please choose the menu of "
              "communication  first Open its bunch of mouths! ");
    EXPECT_EQ(message->flags, 64);

    ASSERT_EQ(rig.session.startWrite(true, 0), StartResult::Started);
    const auto count = rig.effects.size();
    EXPECT_EQ(rig.session.startRead(true), StartResult::Busy);
    EXPECT_EQ(rig.session.startWrite(true, 1), StartResult::Busy);
    EXPECT_EQ(rig.effects.size(), count);
}

TEST(Supervision, StartDisablesControlsSendsWakeUpAndStartsBothTimers) {
    Rig rig;
    rig.session.startRead(true);
    const std::vector<std::size_t> expected = {
        KindOf<effect::ToolBarEnabled>(), KindOf<effect::ProgrammeMenuEnabled>(),
        KindOf<effect::CommandButtonEnabled>(), KindOf<effect::EnableModelFrameAndFocus>(),
        KindOf<effect::SendBytes>(), KindOf<effect::WatchdogRestart>(),
        KindOf<effect::StatusCaption>(), KindOf<effect::BlinkStart>()};
    EXPECT_EQ(Kinds(rig.effects, 0), expected);
    EXPECT_EQ(std::get<effect::CommandButtonEnabled>(rig.effects[2]).command, 'R');
    EXPECT_FALSE(std::get<effect::CommandButtonEnabled>(rig.effects[2]).enabled);
    EXPECT_EQ(std::get<effect::StatusCaption>(rig.effects[6]).text, "Communicating, please waiting");
    EXPECT_EQ(rig.session.LinkCommand(), 'R');
    EXPECT_EQ(rig.session.LinkPhase(), 1);
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
    rig.onMessage = [&](const effect::ShowMessage& e) {
        EXPECT_EQ(e.text, " Make mistakes, please check interphone type, trouble, line and "
                          "computer choice of the communication port! ");
        EXPECT_EQ(e.flags, 16);
        rig.Receive({0x06});
        EXPECT_EQ(rig.session.RxText(), "");
        EXPECT_EQ(rig.session.startRead(true), StartResult::Busy);
        EXPECT_NE(rig.LastSent(), Bytes{0x45});  // End goes out after the message closes
        checkedDuringMessage = true;
    };
    const auto first = rig.effects.size();
    rig.Advance(1);
    EXPECT_TRUE(checkedDuringMessage);
    const std::vector<std::size_t> expected = {
        KindOf<effect::WatchdogStop>(),         KindOf<effect::StatusVisible>(),
        KindOf<effect::BlinkStop>(),            KindOf<effect::ShowMessage>(),
        KindOf<effect::ToolBarEnabled>(),       KindOf<effect::ProgrammeMenuEnabled>(),
        KindOf<effect::CommandButtonEnabled>(), KindOf<effect::CommandButtonEnabled>(),
        KindOf<effect::ProgressHide>(),         KindOf<effect::SendBytes>(),
        KindOf<effect::WatchdogStop>(),         KindOf<effect::TransferFailed>()};
    EXPECT_EQ(Kinds(rig.effects, first), expected);
    EXPECT_EQ(rig.LastSent(), Bytes{0x45});
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_EQ(rig.session.startWrite(true, 0), StartResult::Started);
}

TEST(Supervision, FailedReadNeverReachesTheEditor) {
    for (bool portVanishes : {false, true}) {
        Rig rig;
        rig.session.startRead(true);
        Handshake(rig);
        for (int b = 0; b < 5; ++b) {
            rig.Receive(DataBlock(0x10 + b * 0x40, b));
            rig.Receive({0x06});
        }
        const long before = rig.now;
        if (portVanishes) rig.session.onPortError();  // at once, not 3 s later
        else rig.Advance(3000);
        EXPECT_EQ(rig.now - before, portVanishes ? 0 : 3000);
        EXPECT_EQ(rig.Of<effect::TransferFailed>().size(), 1u);
        EXPECT_TRUE(rig.Of<effect::ReadImageReady>().empty());
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
    Handshake(rig);
    while (rig.session.state() == TransferState::Transferring) rig.Receive({0x06});
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    const auto first = rig.effects.size();
    rig.Advance(1000);
    EXPECT_EQ(rig.session.BlinkCount(), 5);
    EXPECT_EQ(rig.session.state(), TransferState::Finishing);
    rig.Advance(200);
    EXPECT_EQ(rig.session.BlinkCount(), 0);
    EXPECT_EQ(rig.session.state(), TransferState::Idle);
    EXPECT_FALSE(rig.session.statusVisible());
    EXPECT_FALSE(rig.session.blinkRunning());
    std::vector<bool> toggles;
    std::vector<char> enabledButtons;
    for (auto i = first; i < rig.effects.size(); ++i) {
        const Effect& e = rig.effects[i];
        if (const auto* label = std::get_if<effect::StatusVisible>(&e)) toggles.push_back(label->visible);
        if (const auto* button = std::get_if<effect::CommandButtonEnabled>(&e); button && button->enabled)
            enabledButtons.push_back(button->command);
    }
    // shown at 400 ms, then six toggles, then hidden for good
    EXPECT_EQ(toggles, (std::vector<bool>{false, true, false, true, false, true, false}));
    EXPECT_EQ(enabledButtons, (std::vector<char>{'R', 'W'}));
    EXPECT_EQ(rig.Of<effect::UiRestored>().size(), 1u);
}

}  // namespace
}  // namespace r7::link
