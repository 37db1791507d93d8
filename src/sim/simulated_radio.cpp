#include "simulated_radio.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include "link/clone_protocol.h"

namespace r7::sim {

namespace {

using link::kAcknowledge;
using link::kBlockHeaderSize;
using link::kEnd;
using link::kIdentify;
using link::kImageBaseAddress;
using link::kReadBlock;
using link::kWakeUp;
using link::kWriteBlock;

constexpr std::size_t kWakeUpSize = sizeof kWakeUp;
constexpr std::uint8_t kWrongIdentity[8] = {0x50, 0x34, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF};
constexpr std::uint8_t kNak = 0x15;
constexpr std::uint8_t kStrayByte = 0x00;

}  // namespace

std::optional<FaultSetting> ParseFault(std::string_view name) {
    static const std::pair<std::string_view, Fault> kNames[] = {
        {"none", Fault::None},           {"silent", Fault::Silent},
        {"wrong-identity", Fault::WrongIdentity}, {"short-block", Fault::ShortBlock},
        {"wrong-ack", Fault::WrongAck},  {"garbage", Fault::Garbage},
        {"bad-store", Fault::BadStore},  {"double-reply", Fault::DoubleReply}};
    for (const auto& [text, fault] : kNames)
        if (name == text) return FaultSetting{fault, 0};
    static const std::pair<std::string_view, Fault> kCounted[] = {{"stop-after=", Fault::StopAfter},
                                                                   {"close-after=", Fault::CloseAfter}};
    for (const auto& [prefix, fault] : kCounted) {
        if (name.substr(0, prefix.size()) != prefix) continue;
        const std::string_view digits = name.substr(prefix.size());
        int n = -1;
        auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n);
        if (ec == std::errc() && end == digits.data() + digits.size() && n >= 0 && !digits.empty())
            return FaultSetting{fault, n};
    }
    return std::nullopt;
}

SimulatedRadio::SimulatedRadio(const ImageBytes& memory, FaultSetting fault)
    : memory_(memory), fault_(fault) {}

std::vector<std::uint8_t> SimulatedRadio::Receive(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<std::uint8_t> out;
    while (Step(out)) {
    }
    return out;
}

std::uint8_t SimulatedRadio::Ack() const {
    return fault_.fault == Fault::WrongAck ? kNak : kAcknowledge;
}

void SimulatedRadio::Reply(std::vector<std::uint8_t>& out, std::vector<std::uint8_t> reply) {
    if (fault_.fault == Fault::Silent || hungUp_) return;
    if (fault_.fault == Fault::CloseAfter && stage_ == Stage::Blocks && blocksThisSession_ > fault_.stopAfter) {
        out.insert(out.end(), reply.begin(), reply.begin() + static_cast<long>(reply.size() / 2));
        hungUp_ = true;
        return;
    }
    out.insert(out.end(), reply.begin(), reply.end());
    if (fault_.fault == Fault::Garbage) out.push_back(kStrayByte);
    if (fault_.fault == Fault::DoubleReply) out.insert(out.end(), reply.begin(), reply.end());
}

void SimulatedRadio::StartSession(std::vector<std::uint8_t>& out) {
    stage_ = Stage::AwaitIdentify;
    blocksThisSession_ = 0;
    storedThisSession_ = false;
    Reply(out, {kAcknowledge});
}

bool SimulatedRadio::Step(std::vector<std::uint8_t>& out) {
    if (pending_.empty()) return false;
    if (stage_ == Stage::AwaitWakeUp) {
        auto found = std::search(pending_.begin(), pending_.end(), std::begin(kWakeUp), std::end(kWakeUp));
        if (found == pending_.end()) {
            // keep what may be the start of a wake-up split across reads
            if (pending_.size() >= kWakeUpSize) pending_.erase(pending_.begin(), pending_.end() - (kWakeUpSize - 1));
            return false;
        }
        pending_.erase(pending_.begin(), found + kWakeUpSize);
        StartSession(out);
        return true;
    }
    const std::uint8_t command = pending_[0];
    if (command == kWakeUp[0]) {
        // A new wake-up while a session is open: the program gave up on the previous one.
        const std::size_t n = std::min(pending_.size(), kWakeUpSize);
        if (std::equal(pending_.begin(), pending_.begin() + static_cast<long>(n), kWakeUp)) {
            if (n < kWakeUpSize) return false;
            pending_.erase(pending_.begin(), pending_.begin() + kWakeUpSize);
            StartSession(out);
            return true;
        }
        pending_.erase(pending_.begin());
        return true;
    }
    if (command == kEnd) {
        pending_.erase(pending_.begin());
        stage_ = Stage::AwaitWakeUp;
        ++sessionsEnded_;
        return true;
    }
    const bool stopped = fault_.fault == Fault::StopAfter && blocksThisSession_ >= fault_.stopAfter;
    switch (stage_) {
    case Stage::AwaitIdentify:
        pending_.erase(pending_.begin());
        if (command == kIdentify) {
            const std::uint8_t* id = fault_.fault == Fault::WrongIdentity ? kWrongIdentity : kIdentity;
            Reply(out, {id, id + 8});
            stage_ = Stage::AwaitAcknowledge;
        }
        return true;
    case Stage::AwaitAcknowledge:
        pending_.erase(pending_.begin());
        if (command == kAcknowledge) {
            Reply(out, {Ack()});
            stage_ = Stage::Blocks;
        }
        return true;
    case Stage::Blocks:
        break;
    case Stage::AwaitWakeUp:
        return false;
    }
    if (command == kAcknowledge) {
        pending_.erase(pending_.begin());
        if (!stopped) Reply(out, {Ack()});
        return true;
    }
    if (command != kReadBlock && command != kWriteBlock) {
        pending_.erase(pending_.begin());
        return true;
    }
    if (pending_.size() < kBlockHeaderSize) return false;
    const int address = pending_[1] * 256 + pending_[2];
    const std::size_t length = pending_[3];
    if (command == kReadBlock) {
        pending_.erase(pending_.begin(), pending_.begin() + kBlockHeaderSize);
        if (stopped) return true;
        ++blocksThisSession_;
        std::vector<std::uint8_t> reply = {kWriteBlock, static_cast<std::uint8_t>(address >> 8),
                                           static_cast<std::uint8_t>(address & 0xFF),
                                           static_cast<std::uint8_t>(length)};
        std::size_t count = length;
        if (fault_.fault == Fault::ShortBlock && count > 0) --count;
        for (std::size_t i = 0; i < count; ++i) {
            const long offset = address - kImageBaseAddress + static_cast<long>(i);
            reply.push_back(offset >= 0 && offset < static_cast<long>(memory_.size())
                                ? memory_[static_cast<std::size_t>(offset)]
                                : 0xFF);
        }
        Reply(out, std::move(reply));
        return true;
    }
    if (pending_.size() < kBlockHeaderSize + length) return false;
    if (!stopped) {
        for (std::size_t i = 0; i < length; ++i) {
            const long offset = address - kImageBaseAddress + static_cast<long>(i);
            if (offset < 0 || offset >= static_cast<long>(memory_.size())) continue;
            std::uint8_t value = pending_[kBlockHeaderSize + i];
            if (fault_.fault == Fault::BadStore && !storedThisSession_) value ^= 0x01;
            storedThisSession_ = true;
            memory_[static_cast<std::size_t>(offset)] = value;
        }
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(kBlockHeaderSize + length));
    if (stopped) return true;
    ++blocksThisSession_;
    Reply(out, {Ack()});
    return true;
}

}  // namespace r7::sim
