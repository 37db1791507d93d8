#pragma once

// The clone protocol and the supervision of one transfer, as a state machine without I/O.
// Every event is one call; everything the machine wants done (bytes to send, timers,
// progress, status caption, a message, busy and ready, the outcome) goes to the effect sink in
// the order it has to happen. What busy and ready mean for controls is the window's business.
// The sink may block (a modal message box): the machine carries on only when it returns.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "clone_protocol.h"

namespace r7::link {

inline constexpr int kProgressMaximum = 460;
inline constexpr int kWatchdogIntervalMs = 3000;  // Timer1
inline constexpr int kBlinkIntervalMs = 200;      // Timer2
inline constexpr int kBlinkTicksToRestore = 6;

inline constexpr char kCommunicatingCaption[] = "Communicating, please waiting";
inline constexpr char kReadSucceededCaption[] = "Reading succeeds frequently!";
inline constexpr char kWriteSucceededCaption[] = "Writing succeeds frequently!";
inline constexpr char kWatchdogMessage[] =
    " Make mistakes, please check interphone type, trouble, line and computer choice of the "
    "communication port! ";
inline constexpr char kNoPortMessage[] =
    "The communication port has not been opened, please choose the menu of communication  "
    "first Open its bunch of mouths! ";
inline constexpr int kEventReceive = 2;   // bytes are waiting
inline constexpr int kEventBreak = 1001;  // a break condition was received

enum class Command { Read, Write };  // LinkCommand: "R" or "W"
enum class LinkPhaseValue { Blocks = 0, Handshake = 1 };
// How a message is shown: a notice, or a failure of the transfer.
enum class MessageKind { Information, Failure };

enum class TransferState {
    Idle,              // nothing runs; commands may start
    Transferring,      // handshake or block stage; Timer1 restarted per command
    Finishing,         // End sent after success; Timer2 counts the success blink
    ReportingFailure,  // watchdog path, its message box is open
};

enum class StartResult { Started, NoPortOpen, Busy };

// What the machine wants done, one kind per struct carrying exactly its data.
namespace effect {
struct SendBytes {
    std::vector<std::uint8_t> bytes;
};
struct WatchdogRestart {};  // Timer1: stop and start again, a full interval from now
struct WatchdogStop {};
struct BlinkStart {};  // Timer2
struct BlinkStop {};
struct ProgressShow {
    int value;
};  // range 0..kProgressMaximum
struct ProgressValue {
    int value;
};
struct ProgressHide {};
struct StatusCaption {
    std::string text;
};
struct StatusVisible {
    bool visible;
};
struct ShowMessage {  // in a box titled with the application's title
    std::string text;
    MessageKind kind;
};
struct Busy {  // a transfer has started: no other command may start until Ready
    Command command;
};
struct Ready {};  // commands may start again; End may still be on its way
struct ReadImageReady {
    std::string imageHex;
};  // the 1664 hex characters read, for DecodeImage
struct TransferSucceeded {
    Command command;
};                              // End has been sent
struct TransferFailed {};       // the watchdog path is complete, End has been sent
struct TransferInterrupted {};  // stopped on request; End has been sent, no message shown
struct UiRestored {};           // back to Idle after the success blink
}  // namespace effect

using Effect =
    std::variant<effect::SendBytes, effect::WatchdogRestart, effect::WatchdogStop,
                 effect::BlinkStart, effect::BlinkStop, effect::ProgressShow, effect::ProgressValue,
                 effect::ProgressHide, effect::StatusCaption, effect::StatusVisible,
                 effect::ShowMessage, effect::Busy, effect::Ready, effect::ReadImageReady,
                 effect::TransferSucceeded, effect::TransferFailed, effect::TransferInterrupted,
                 effect::UiRestored>;

class CloneSession {
public:
    using EffectSink = std::function<void(const Effect&)>;
    // Called when the identity is accepted, for reads and writes alike: the image text to write.
    using ImageSource = std::function<std::string()>;

    CloneSession(EffectSink sink, ImageSource encodeImage);

    // mnureadFre_Click / mnuwriteFre_Click. serviceUnlocked non-zero adds the block at 0180.
    StartResult startRead(bool portOpen);
    StartResult startWrite(bool portOpen, int serviceUnlocked);

    // OnPortEvent: all waiting bytes at once, and the break notification.
    void onBytesReceived(std::span<const std::uint8_t> bytes);
    void onBreak();
    // The same by the serial control's event codes (2 bytes received, 1001 break); any other
    // code is ignored.
    void OnPortEvent(int eventCode, std::span<const std::uint8_t> bytes = {});
    // The port failed or vanished: a running transfer ends now the way the watchdog ends it.
    void onPortError();
    // The user wants the transfer stopped. A write block already sent is given its reply, so
    // the count of blocks the radio holds stays exact; otherwise End goes out at once.
    void interrupt();
    // Stop now, whatever is in flight (the program is ending): End goes out at once.
    void abort();
    // An interruption waits for the reply to the write block in flight.
    bool interruptPending() const { return interruptPending_; }

    // Blocks of the current (or last) write the radio has acknowledged, out of how many.
    int writeBlocksAcknowledged() const { return writeBlocksAcknowledged_; }
    int writeBlocksTotal() const { return WriteBlockCount(ServiceUnlocked_ != 0); }

    void Timer1_Timer();  // the watchdog's tick
    void Timer2_Timer();  // the busy blink's tick

    TransferState state() const { return state_; }
    const std::string& RxText() const { return RxText_; }
    bool BreakSeen() const { return BreakSeen_; }
    const std::string& ReadImage() const { return ReadImage_; }
    // The image text the last write took, and the identity the radio last answered with.
    const std::string& WriteImage() const { return WriteImage_; }
    const std::vector<std::uint8_t>& identity() const { return identity_; }
    int BlinkCount() const { return BlinkCount_; }
    int progressValue() const { return progressValue_; }
    bool progressVisible() const { return progressVisible_; }

private:
    StartResult start(Command command, bool portOpen, int serviceUnlocked);
    void SendBuffer(std::vector<std::uint8_t> bytes);
    void handshakeStep(const std::vector<std::uint8_t>& reply);
    void writeStep(const std::vector<std::uint8_t>& reply);
    void readStep(const std::vector<std::uint8_t>& reply);
    enum class Ending { Interrupted, Failed };
    void endTransfer(Ending ending);
    void becomeReady();
    void stopWatchdog();
    void stopBlink();
    void setCaption(const char* caption);
    void setLabelVisible(bool visible);
    void hideProgress();
    void addProgress(int step);
    void emitEffect(const Effect& effect) { sink_(effect); }

    EffectSink sink_;
    ImageSource encodeImage_;

    TransferState state_ = TransferState::Idle;
    std::string RxText_;
    std::vector<std::uint8_t> identity_;
    LinkPhaseValue LinkPhase_ = LinkPhaseValue::Blocks;
    Command LinkCommand_ = Command::Read;
    int BlockAddress_ = 0;
    bool BreakSeen_ = false;
    bool blockRequested_ = false;  // read stage: a data block is due, not an acknowledgement
    std::string WriteImage_;
    std::string ReadImage_;
    int BlinkCount_ = 0;
    int ServiceUnlocked_ = 0;
    int writeBlocksSent_ = 0;
    int writeBlocksAcknowledged_ = 0;
    bool interruptPending_ = false;

    bool watchdogRunning_ = false;
    bool blinkRunning_ = false;
    int progressValue_ = 0;
    bool progressVisible_ = false;
    std::string caption_;
    bool labelVisible_ = true;  // shown, empty, until the first transfer blinks it
};

}  // namespace r7::link
