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
        Emit(effect::ShowMessage{kNoPortMessage, kFlagsInformation});
        return StartResult::NoPortOpen;
    }
    state_ = TransferState::Transferring;
    Emit(effect::ToolBarEnabled{false});
    Emit(effect::ProgrammeMenuEnabled{false});
    Emit(effect::CommandButtonEnabled{command, false});
    RxText_.clear();
    LinkCommand_ = command;
    LinkPhase_ = 1;
    ServiceUnlocked_ = serviceUnlocked;
    writeBlocksSent_ = 0;
    writeBlocksAcknowledged_ = 0;
    interruptPending_ = false;
    Emit(effect::EnableModelFrameAndFocus{});
    SendBuffer({std::begin(kWakeUp), std::end(kWakeUp)});
    SetCaption(kCommunicatingCaption);
    blinkRunning_ = true;
    Emit(effect::BlinkStart{});
    return StartResult::Started;
}

void CloneSession::SendBuffer(std::vector<std::uint8_t> bytes) {
    RxText_.clear();
    const bool isEnd = bytes.size() == 1 && bytes[0] == kEnd;
    Emit(effect::SendBytes{std::move(bytes)});
    if (isEnd) {
        StopWatchdog();
    } else {
        watchdogRunning_ = true;
        Emit(effect::WatchdogRestart{});
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
        Emit(effect::ProgressShow{0});
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
        Emit(effect::TransferSucceeded{'W'});
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
            Emit(effect::ReadImageReady{ReadImage_});
            SetCaption(kReadSucceededCaption);
            HideProgress();
            state_ = TransferState::Finishing;
            SendBuffer({kEnd});
            Emit(effect::TransferSucceeded{'R'});
        }
    } else if (BlockRequested_ && RxText_.size() == kDataBlockChars && RxText_.compare(0, 2, "57") == 0 &&
               RxText_.compare(6, 2, "40") == 0) {
        BlockRequested_ = false;
        StopWatchdog();
        ReadImage_ += RxText_.substr(8, 128);
        SendBuffer({kAcknowledge});
    }
}

void CloneSession::Timer1_Timer() {
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
    Emit(effect::TransferInterrupted{});
}

void CloneSession::EndWithWatchdogOutcome() {
    state_ = TransferState::ReportingFailure;
    interruptPending_ = false;
    RxText_.clear();
    StopWatchdog();
    SetLabelVisible(false);
    StopBlink();
    Emit(effect::ShowMessage{kWatchdogMessage, kFlagsStop});
    EnableControls();
    HideProgress();
    SendBuffer({kEnd});
    state_ = TransferState::Idle;
    Emit(effect::TransferFailed{});
}

void CloneSession::Timer2_Timer() {
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
        Emit(effect::UiRestored{});
    }
}

void CloneSession::EnableControls() {
    Emit(effect::ToolBarEnabled{true});
    Emit(effect::ProgrammeMenuEnabled{true});
    Emit(effect::CommandButtonEnabled{'R', true});
    Emit(effect::CommandButtonEnabled{'W', true});
}

void CloneSession::StopWatchdog() {
    watchdogRunning_ = false;
    Emit(effect::WatchdogStop{});
}

void CloneSession::StopBlink() {
    blinkRunning_ = false;
    Emit(effect::BlinkStop{});
}

void CloneSession::SetCaption(const char* caption) {
    caption_ = caption;
    Emit(effect::StatusCaption{caption_});
}

void CloneSession::SetLabelVisible(bool visible) {
    labelVisible_ = visible;
    Emit(effect::StatusVisible{visible});
}

void CloneSession::HideProgress() {
    progressVisible_ = false;
    Emit(effect::ProgressHide{});
}

void CloneSession::AddProgress(int step) {
    if (progressValue_ >= kProgressMaximum) return;
    progressValue_ += step;
    Emit(effect::ProgressValue{progressValue_});
}

}  // namespace r7::link
