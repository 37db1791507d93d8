#include "clone_session.h"

#include <utility>

namespace r7::link {

namespace {

constexpr int kReadProgressStep = 32;
constexpr int kWriteProgressStep = 10;

constexpr std::size_t kIdentityChars = 16;   // 8 bytes
constexpr std::size_t kDataBlockChars = 136; // 68 bytes
// No reply is longer than a data block and RxText never shrinks between commands except by
// one byte per batch, so anything past this limit can never be accepted; it only bounds memory
// against a line that floods the port.
constexpr std::size_t kRxTextLimit = 65536;

constexpr char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

// The byte at an image offset of an image text; a text too short for it gives FF, the
// filler the radio holds where nothing is written.
std::uint8_t ImageByte(const std::string& imageHex, int offset) {
    const std::size_t at = static_cast<std::size_t>(offset) * 2;
    if (at + 1 >= imageHex.size()) return 0xFF;
    return static_cast<std::uint8_t>(HexValue(imageHex[at]) * 16 + HexValue(imageHex[at + 1]));
}

// Effects carry only the fields their kind uses.
Effect Make(EffectKind kind, int number = 0, bool enabled = false, std::string text = {}) {
    Effect e{kind, number, enabled, std::move(text), {}, {}};
    return e;
}

}  // namespace

CloneSession::CloneSession(EffectSink sink, ImageSource encodeImage)
    : sink_(std::move(sink)), encodeImage_(std::move(encodeImage)) {}

StartResult CloneSession::StartRead(bool portOpen) { return Start('R', portOpen, 0); }

StartResult CloneSession::StartWrite(bool portOpen, int serviceUnlocked) {
    return Start('W', portOpen, serviceUnlocked);
}

StartResult CloneSession::Start(char command, bool portOpen, int serviceUnlocked) {
    if (state_ != TransferState::Idle) return StartResult::Busy;
    if (!portOpen) {
        Emit(Make(EffectKind::ShowMessage, kFlagsInformation, false, kNoPortMessage));
        return StartResult::NoPortOpen;
    }
    state_ = TransferState::Transferring;
    Emit(Make(EffectKind::ToolBarEnabled, 0, false));
    Emit(Make(EffectKind::ProgrammeMenuEnabled, 0, false));
    Emit(Make(EffectKind::ToolButtonEnabled, command == 'R' ? kReadButton : kWriteButton, false));
    RxText_.clear();
    LinkCommand_ = command;
    LinkPhase_ = 1;
    ServiceUnlocked_ = serviceUnlocked;
    writeBlocksSent_ = 0;
    writeBlocksAcknowledged_ = 0;
    interruptPending_ = false;
    Emit(Make(EffectKind::EnableModelFrameAndFocus));
    SendBuffer({std::begin(kWakeUp), std::end(kWakeUp)});
    SetCaption(kCommunicatingCaption);
    blinkRunning_ = true;
    Emit(Make(EffectKind::BlinkStart));
    return StartResult::Started;
}

void CloneSession::SendBuffer(std::vector<std::uint8_t> bytes) {
    RxText_.clear();
    const bool isEnd = bytes.size() == 1 && bytes[0] == kEnd;
    Effect send = Make(EffectKind::SendBytes);
    send.bytes = std::move(bytes);
    Emit(send);
    if (isEnd) {
        StopWatchdog();
    } else {
        watchdogRunning_ = true;
        Emit(Make(EffectKind::WatchdogRestart));
    }
}

void CloneSession::OnBreak() { BreakSeen_ = true; }

void CloneSession::OnPortEvent(int eventCode, std::span<const std::uint8_t> bytes) {
    if (eventCode == kEventBreak) {
        OnBreak();
    } else if (eventCode == kEventReceive) {
        OnBytesReceived(bytes);
    }
}

void CloneSession::OnBytesReceived(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    for (std::uint8_t b : bytes) {
        if (RxText_.size() >= kRxTextLimit) break;
        RxText_ += kHexDigits[b >> 4];
        RxText_ += kHexDigits[b & 0x0F];
    }
    if (BreakSeen_) {
        RxText_.erase(0, 2);
        BreakSeen_ = false;
    }
    if (!watchdogRunning_) {
        RxText_.clear();
        return;
    }
    if (LinkPhase_ == 1) {
        HandshakeStep();
    } else if (LinkPhase_ == 0) {
        if (LinkCommand_ == 'W') WriteStep();
        else if (LinkCommand_ == 'R') ReadStep();
    }
}

// Only at byte boundaries: a text straddling two bytes is not the radio's identity.
bool CloneSession::IdentityReceived() const {
    if (RxText_.size() != kIdentityChars) return false;
    for (std::size_t at = 0; at + 10 <= kIdentityChars; at += 2) {
        const std::string_view part = std::string_view(RxText_).substr(at, 10);
        if (part == "5033323037" || part == "5032323037") return true;
    }
    return false;
}

void CloneSession::HandshakeStep() {
    if (RxText_ == "06") {
        StopWatchdog();
        SendBuffer({kIdentify});
    } else if (IdentityReceived()) {
        LinkPhase_ = 0;
        BlockAddress_ = kFirstBlockAddress;
        WriteImage_ = encodeImage_ ? encodeImage_() : std::string();
        ReadImage_.clear();
        BlockRequested_ = false;
        progressValue_ = 0;
        progressVisible_ = true;
        Emit(Make(EffectKind::ProgressShow, 0));
        StopWatchdog();
        SendBuffer({kAcknowledge});
    }
}

void CloneSession::WriteStep() {
    if (RxText_ != "06") return;
    if (writeBlocksSent_ > writeBlocksAcknowledged_) ++writeBlocksAcknowledged_;
    if (interruptPending_) {
        EndInterrupted();
        return;
    }
    AddProgress(kWriteProgressStep);
    StopWatchdog();
    if (BlockAddress_ < kWriteEndAddress) {
        BlockAddress_ = WriteBlockAddress(BlockAddress_, ServiceUnlocked_ != 0);
        std::vector<std::uint8_t> block = {kWriteBlock, static_cast<std::uint8_t>(BlockAddress_ >> 8),
                                           static_cast<std::uint8_t>(BlockAddress_ & 0xFF),
                                           kWriteLength};
        const int firstOffset = BlockAddress_ - kImageBaseAddress;
        for (int i = 0; i < kWriteLength; ++i) block.push_back(ImageByte(WriteImage_, firstOffset + i));
        SendBuffer(std::move(block));
        ++writeBlocksSent_;
        BlockAddress_ += kWriteLength;
    } else {
        SetCaption(kWriteSucceededCaption);
        HideProgress();
        state_ = TransferState::Finishing;
        SendBuffer({kEnd});
        Emit(Make(EffectKind::TransferSucceeded, 0, false, "W"));
    }
}

// A reply counts only as the answer to the command just sent: an acknowledgement after an
// acknowledgement, a data block after a block request. A radio that repeats a reply, or skips
// one, would otherwise shift or duplicate blocks in the image without any error.
void CloneSession::ReadStep() {
    if (RxText_ == "06" && !BlockRequested_) {
        AddProgress(kReadProgressStep);
        StopWatchdog();
        if (BlockAddress_ <= kLastReadAddress) {
            SendBuffer({kReadBlock, static_cast<std::uint8_t>(BlockAddress_ >> 8),
                        static_cast<std::uint8_t>(BlockAddress_ & 0xFF), kReadLength});
            BlockAddress_ += kReadLength;
            BlockRequested_ = true;
        } else {
            Emit(Make(EffectKind::ReadImageReady, 0, false, ReadImage_));
            SetCaption(kReadSucceededCaption);
            HideProgress();
            state_ = TransferState::Finishing;
            SendBuffer({kEnd});
            Emit(Make(EffectKind::TransferSucceeded, 0, false, "R"));
        }
    } else if (BlockRequested_ && RxText_.size() == kDataBlockChars && RxText_.compare(0, 2, "57") == 0 &&
               RxText_.compare(6, 2, "40") == 0) {
        BlockRequested_ = false;
        StopWatchdog();
        ReadImage_ += RxText_.substr(8, 128);
        SendBuffer({kAcknowledge});
    }
}

void CloneSession::OnWatchdogTick() {
    if (!watchdogRunning_) return;  // a tick queued before the timer was stopped
    EndWithWatchdogOutcome();
}

void CloneSession::OnPortError() {
    if (state_ == TransferState::Transferring) EndWithWatchdogOutcome();
}

void CloneSession::Interrupt() {
    if (state_ != TransferState::Transferring) return;
    if (writeBlocksSent_ > writeBlocksAcknowledged_ && watchdogRunning_) {
        interruptPending_ = true;
    } else {
        EndInterrupted();
    }
}

void CloneSession::Abort() {
    if (state_ == TransferState::Transferring) EndInterrupted();
}

void CloneSession::EndInterrupted() {
    interruptPending_ = false;
    RxText_.clear();
    StopWatchdog();
    SetLabelVisible(false);
    StopBlink();
    EnableControls();
    HideProgress();
    SendBuffer({kEnd});
    state_ = TransferState::Idle;
    Emit(Make(EffectKind::TransferInterrupted));
}

void CloneSession::EndWithWatchdogOutcome() {
    state_ = TransferState::ReportingFailure;
    interruptPending_ = false;
    RxText_.clear();
    StopWatchdog();
    SetLabelVisible(false);
    StopBlink();
    Emit(Make(EffectKind::ShowMessage, kFlagsStop, false, kWatchdogMessage));
    EnableControls();
    HideProgress();
    SendBuffer({kEnd});
    state_ = TransferState::Idle;
    Emit(Make(EffectKind::TransferFailed));
}

void CloneSession::OnBlinkTick() {
    if (!blinkRunning_) return;
    SetLabelVisible(!labelVisible_);
    const bool success = caption_ == kReadSucceededCaption || caption_ == kWriteSucceededCaption;
    if (!success) return;
    ++BlinkCount_;
    if (BlinkCount_ == kBlinkTicksToRestore) {
        BlinkCount_ = 0;
        SetLabelVisible(false);
        StopBlink();
        EnableControls();
        state_ = TransferState::Idle;
        Emit(Make(EffectKind::UiRestored));
    }
}

void CloneSession::EnableControls() {
    Emit(Make(EffectKind::ToolBarEnabled, 0, true));
    Emit(Make(EffectKind::ProgrammeMenuEnabled, 0, true));
    Emit(Make(EffectKind::ToolButtonEnabled, kReadButton, true));
    Emit(Make(EffectKind::ToolButtonEnabled, kWriteButton, true));
}

void CloneSession::StopWatchdog() {
    watchdogRunning_ = false;
    Emit(Make(EffectKind::WatchdogStop));
}

void CloneSession::StopBlink() {
    blinkRunning_ = false;
    Emit(Make(EffectKind::BlinkStop));
}

void CloneSession::SetCaption(const char* caption) {
    caption_ = caption;
    Emit(Make(EffectKind::StatusCaption, 0, false, caption_));
}

void CloneSession::SetLabelVisible(bool visible) {
    labelVisible_ = visible;
    Emit(Make(EffectKind::StatusVisible, 0, visible));
}

void CloneSession::HideProgress() {
    progressVisible_ = false;
    Emit(Make(EffectKind::ProgressHide));
}

void CloneSession::AddProgress(int step) {
    if (progressValue_ >= kProgressMaximum) return;
    progressValue_ += step;
    Emit(Make(EffectKind::ProgressValue, progressValue_));
}

}  // namespace r7::link
