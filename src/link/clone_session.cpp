#include "clone_session.h"

#include <algorithm>
#include <utility>

#include "image/hex_text.h"

namespace r7::link {

namespace {

constexpr int kReadProgressStep = 32;
constexpr int kWriteProgressStep = 10;

constexpr std::size_t kIdentitySize = 8;
constexpr std::size_t kDataBlockSize = kBlockHeaderSize + kReadLength;
// No reply is longer than a data block and RxText never shrinks between commands except by
// one byte per batch, so anything past this limit can never be accepted; it only bounds memory
// against a line that floods the port.
constexpr std::size_t kRxTextLimit = 65536;
// The model names the identity may carry.
constexpr std::uint8_t kModelNames[][5] = {{'P', '3', '2', '0', '7'}, {'P', '2', '2', '0', '7'}};

// The byte at an image offset of an image text; a text too short for it gives FF, the
// filler the radio holds where nothing is written.
std::uint8_t ImageByte(const std::string& imageHex, int offset) {
    const std::size_t at = static_cast<std::size_t>(offset) * 2;
    if (at + 1 >= imageHex.size()) return 0xFF;
    const auto digit = [&](std::size_t i) { return std::max(0, HexDigitValue(imageHex[i])); };
    return static_cast<std::uint8_t>(digit(at) * 16 + digit(at + 1));
}

bool IsAcknowledge(const std::vector<std::uint8_t>& reply) {
    return reply.size() == 1 && reply[0] == kAcknowledge;
}

// Only at byte boundaries: a text straddling two bytes is not the radio's identity.
bool IsIdentity(const std::vector<std::uint8_t>& reply) {
    if (reply.size() != kIdentitySize) return false;
    return std::any_of(std::begin(kModelNames), std::end(kModelNames), [&](const auto& model) {
        return std::search(reply.begin(), reply.end(), std::begin(model), std::end(model)) !=
               reply.end();
    });
}

// The address bytes are not compared.
bool IsDataBlock(const std::vector<std::uint8_t>& reply) {
    return reply.size() == kDataBlockSize && reply[0] == kWriteBlock && reply[3] == kReadLength;
}

}  // namespace

CloneSession::CloneSession(EffectSink sink, ImageSource encodeImage)
    : sink_(std::move(sink)), encodeImage_(std::move(encodeImage)) {}

StartResult CloneSession::startRead(bool portOpen) { return start(Command::Read, portOpen, 0); }

StartResult CloneSession::startWrite(bool portOpen, int serviceUnlocked) {
    return start(Command::Write, portOpen, serviceUnlocked);
}

StartResult CloneSession::start(Command command, bool portOpen, int serviceUnlocked) {
    if (state_ != TransferState::Idle) return StartResult::Busy;
    if (!portOpen) {
        emitEffect(effect::ShowMessage{kNoPortMessage, MessageKind::Information});
        return StartResult::NoPortOpen;
    }
    state_ = TransferState::Transferring;
    emitEffect(effect::Busy{command});
    RxText_.clear();
    LinkCommand_ = command;
    LinkPhase_ = LinkPhaseValue::Handshake;
    ServiceUnlocked_ = serviceUnlocked;
    writeBlocksSent_ = 0;
    writeBlocksAcknowledged_ = 0;
    interruptPending_ = false;
    SendBuffer({std::begin(kWakeUp), std::end(kWakeUp)});
    setCaption(kCommunicatingCaption);
    blinkRunning_ = true;
    emitEffect(effect::BlinkStart{});
    return StartResult::Started;
}

void CloneSession::SendBuffer(std::vector<std::uint8_t> bytes) {
    RxText_.clear();
    const bool isEnd = bytes.size() == 1 && bytes[0] == kEnd;
    emitEffect(effect::SendBytes{std::move(bytes)});
    if (isEnd) {
        stopWatchdog();
    } else {
        watchdogRunning_ = true;
        emitEffect(effect::WatchdogRestart{});
    }
}

void CloneSession::onBreak() { BreakSeen_ = true; }

void CloneSession::OnPortEvent(int eventCode, std::span<const std::uint8_t> bytes) {
    if (eventCode == kEventBreak) {
        onBreak();
    } else if (eventCode == kEventReceive) {
        onBytesReceived(bytes);
    }
}

void CloneSession::onBytesReceived(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    const std::size_t room = (kRxTextLimit - std::min(RxText_.size(), kRxTextLimit)) / 2;
    RxText_ += ToHexText(bytes.first(std::min(bytes.size(), room)));
    if (BreakSeen_) {
        RxText_.erase(0, 2);
        BreakSeen_ = false;
    }
    if (!watchdogRunning_) {
        RxText_.clear();
        return;
    }
    // RxText only ever holds whole bytes, so it always reads back. No reply is longer than a
    // data block: a longer text matches nothing and is not worth converting on every batch.
    const std::vector<std::uint8_t> reply =
        RxText_.size() <= 2 * kDataBlockSize
            ? FromHexText(RxText_).value_or(std::vector<std::uint8_t>{})
            : std::vector<std::uint8_t>{};
    if (LinkPhase_ == LinkPhaseValue::Handshake)
        handshakeStep(reply);
    else if (LinkCommand_ == Command::Write)
        writeStep(reply);
    else
        readStep(reply);
}

void CloneSession::handshakeStep(const std::vector<std::uint8_t>& reply) {
    if (IsAcknowledge(reply)) {
        stopWatchdog();
        SendBuffer({kIdentify});
    } else if (IsIdentity(reply)) {
        identity_ = reply;
        LinkPhase_ = LinkPhaseValue::Blocks;
        BlockAddress_ = kFirstBlockAddress;
        WriteImage_ = encodeImage_ ? encodeImage_() : std::string();
        ReadImage_.clear();
        blockRequested_ = false;
        progressValue_ = 0;
        progressVisible_ = true;
        emitEffect(effect::ProgressShow{0});
        stopWatchdog();
        SendBuffer({kAcknowledge});
    }
}

void CloneSession::writeStep(const std::vector<std::uint8_t>& reply) {
    if (!IsAcknowledge(reply)) return;
    if (writeBlocksSent_ > writeBlocksAcknowledged_) ++writeBlocksAcknowledged_;
    if (interruptPending_) {
        endTransfer(Ending::Interrupted);
        return;
    }
    addProgress(kWriteProgressStep);
    stopWatchdog();
    if (BlockAddress_ < kWriteEndAddress) {
        BlockAddress_ = WriteBlockAddress(BlockAddress_, ServiceUnlocked_ != 0);
        std::vector<std::uint8_t> block = {
            kWriteBlock, static_cast<std::uint8_t>(BlockAddress_ >> 8),
            static_cast<std::uint8_t>(BlockAddress_ & 0xFF), kWriteLength};
        const int firstOffset = BlockAddress_ - kImageBaseAddress;
        for (int i = 0; i < kWriteLength; ++i)
            block.push_back(ImageByte(WriteImage_, firstOffset + i));
        SendBuffer(std::move(block));
        ++writeBlocksSent_;
        BlockAddress_ += kWriteLength;
    } else {
        setCaption(kWriteSucceededCaption);
        hideProgress();
        state_ = TransferState::Finishing;
        SendBuffer({kEnd});
        emitEffect(effect::TransferSucceeded{Command::Write});
    }
}

// A reply counts only as the answer to the command just sent: an acknowledgement after an
// acknowledgement, a data block after a block request. A radio that repeats a reply, or skips
// one, would otherwise shift or duplicate blocks in the image without any error.
void CloneSession::readStep(const std::vector<std::uint8_t>& reply) {
    if (IsAcknowledge(reply) && !blockRequested_) {
        addProgress(kReadProgressStep);
        stopWatchdog();
        if (BlockAddress_ <= kLastReadAddress) {
            SendBuffer({kReadBlock, static_cast<std::uint8_t>(BlockAddress_ >> 8),
                        static_cast<std::uint8_t>(BlockAddress_ & 0xFF), kReadLength});
            BlockAddress_ += kReadLength;
            blockRequested_ = true;
        } else {
            emitEffect(effect::ReadImageReady{ReadImage_});
            setCaption(kReadSucceededCaption);
            hideProgress();
            state_ = TransferState::Finishing;
            SendBuffer({kEnd});
            emitEffect(effect::TransferSucceeded{Command::Read});
        }
    } else if (blockRequested_ && IsDataBlock(reply)) {
        blockRequested_ = false;
        stopWatchdog();
        ReadImage_ += RxText_.substr(2 * kBlockHeaderSize);
        SendBuffer({kAcknowledge});
    }
}

void CloneSession::Timer1_Timer() {
    if (!watchdogRunning_) return;  // a tick queued before the timer was stopped
    endTransfer(Ending::Failed);
}

void CloneSession::onPortError() {
    if (state_ == TransferState::Transferring) endTransfer(Ending::Failed);
}

void CloneSession::interrupt() {
    if (state_ != TransferState::Transferring) return;
    if (writeBlocksSent_ > writeBlocksAcknowledged_ && watchdogRunning_) {
        interruptPending_ = true;
    } else {
        endTransfer(Ending::Interrupted);
    }
}

void CloneSession::abort() {
    if (state_ == TransferState::Transferring) endTransfer(Ending::Interrupted);
}

// Controls back, End on the line; a failure shows the watchdog's message first, and the box
// may stay open for a while (state ReportingFailure meanwhile).
void CloneSession::endTransfer(Ending ending) {
    const bool failed = ending == Ending::Failed;
    if (failed) state_ = TransferState::ReportingFailure;
    interruptPending_ = false;
    RxText_.clear();
    stopWatchdog();
    setLabelVisible(false);
    stopBlink();
    if (failed) emitEffect(effect::ShowMessage{kWatchdogMessage, MessageKind::Failure});
    becomeReady();
    hideProgress();
    SendBuffer({kEnd});
    state_ = TransferState::Idle;
    if (failed)
        emitEffect(effect::TransferFailed{});
    else
        emitEffect(effect::TransferInterrupted{});
}

void CloneSession::Timer2_Timer() {
    if (!blinkRunning_) return;
    setLabelVisible(!labelVisible_);
    const bool success = caption_ == kReadSucceededCaption || caption_ == kWriteSucceededCaption;
    if (!success) return;
    ++BlinkCount_;
    if (BlinkCount_ == kBlinkTicksToRestore) {
        BlinkCount_ = 0;
        setLabelVisible(false);
        stopBlink();
        becomeReady();
        state_ = TransferState::Idle;
        emitEffect(effect::UiRestored{});
    }
}

void CloneSession::becomeReady() { emitEffect(effect::Ready{}); }

void CloneSession::stopWatchdog() {
    watchdogRunning_ = false;
    emitEffect(effect::WatchdogStop{});
}

void CloneSession::stopBlink() {
    blinkRunning_ = false;
    emitEffect(effect::BlinkStop{});
}

void CloneSession::setCaption(const char* caption) {
    caption_ = caption;
    emitEffect(effect::StatusCaption{caption_});
}

void CloneSession::setLabelVisible(bool visible) {
    labelVisible_ = visible;
    emitEffect(effect::StatusVisible{visible});
}

void CloneSession::hideProgress() {
    progressVisible_ = false;
    emitEffect(effect::ProgressHide{});
}

void CloneSession::addProgress(int step) {
    if (progressValue_ >= kProgressMaximum) return;
    progressValue_ += step;
    emitEffect(effect::ProgressValue{progressValue_});
}

}  // namespace r7::link
