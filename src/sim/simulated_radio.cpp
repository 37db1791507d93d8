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
        {"none", Fault::None},
        {"silent", Fault::Silent},
        {"wrong-identity", Fault::WrongIdentity},
        {"short-block", Fault::ShortBlock},
        {"wrong-ack", Fault::WrongAck},
        {"garbage", Fault::Garbage},
        {"bad-store", Fault::BadStore},
        {"double-reply", Fault::DoubleReply}};
    for (const auto& [text, fault] : kNames)
        if (name == text) return FaultSetting{fault, 0};
    static const std::pair<std::string_view, Fault> kCounted[] = {
        {"stop-after=", Fault::StopAfter}, {"close-after=", Fault::CloseAfter}};
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

std::vector<std::uint8_t> SimulatedRadio::receive(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<std::uint8_t> out;
    while (step(out)) {
    }
    return out;
}

std::uint8_t SimulatedRadio::ack() const {
    return fault_.fault == Fault::WrongAck ? kNak : kAcknowledge;
}

void SimulatedRadio::answer(std::vector<std::uint8_t>& out, std::vector<std::uint8_t> reply) {
    if (fault_.fault == Fault::Silent || hungUp_) return;
    if (fault_.fault == Fault::CloseAfter && stage_ == Stage::Blocks &&
        blocksThisSession_ > fault_.stopAfter) {
        out.insert(out.end(), reply.begin(), reply.begin() + static_cast<long>(reply.size() / 2));
        hungUp_ = true;
        return;
    }
    out.insert(out.end(), reply.begin(), reply.end());
    if (fault_.fault == Fault::Garbage) out.push_back(kStrayByte);
    if (fault_.fault == Fault::DoubleReply) out.insert(out.end(), reply.begin(), reply.end());
}

void SimulatedRadio::startSession(std::vector<std::uint8_t>& out) {
    stage_ = Stage::AwaitIdentify;
    blocksThisSession_ = 0;
    storedThisSession_ = false;
    answer(out, {kAcknowledge});
}

void SimulatedRadio::consume(std::size_t count) {
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(count));
}

bool SimulatedRadio::step(std::vector<std::uint8_t>& out) {
    if (pending_.empty()) return false;
    if (stage_ == Stage::AwaitWakeUp) return findWakeUp(out);
    const std::uint8_t command = pending_[0];
    if (command == kWakeUp[0]) return wakeUpAgain(out);
    if (command == kEnd) {
        consume(1);
        stage_ = Stage::AwaitWakeUp;
        ++sessionsEnded_;
        return true;
    }
    switch (stage_) {
        case Stage::AwaitIdentify:
            consume(1);
            if (command == kIdentify) {
                const std::uint8_t* id =
                    fault_.fault == Fault::WrongIdentity ? kWrongIdentity : kIdentity;
                answer(out, {id, id + sizeof kIdentity});
                stage_ = Stage::AwaitAcknowledge;
            }
            return true;
        case Stage::AwaitAcknowledge:
            consume(1);
            if (command == kAcknowledge) {
                answer(out, {ack()});
                stage_ = Stage::Blocks;
            }
            return true;
        case Stage::Blocks:
            return blockCommand(out);
        case Stage::AwaitWakeUp:
            break;
    }
    return false;
}

bool SimulatedRadio::findWakeUp(std::vector<std::uint8_t>& out) {
    auto found =
        std::search(pending_.begin(), pending_.end(), std::begin(kWakeUp), std::end(kWakeUp));
    if (found == pending_.end()) {
        // keep what may be the start of a wake-up split across reads
        if (pending_.size() >= kWakeUpSize) consume(pending_.size() - (kWakeUpSize - 1));
        return false;
    }
    pending_.erase(pending_.begin(), found + kWakeUpSize);
    startSession(out);
    return true;
}

// A new wake-up while a session is open: the program gave up on the previous one.
bool SimulatedRadio::wakeUpAgain(std::vector<std::uint8_t>& out) {
    const std::size_t n = std::min(pending_.size(), kWakeUpSize);
    if (!std::equal(pending_.begin(), pending_.begin() + static_cast<long>(n), kWakeUp)) {
        consume(1);
        return true;
    }
    if (n < kWakeUpSize) return false;
    consume(kWakeUpSize);
    startSession(out);
    return true;
}

bool SimulatedRadio::blockCommand(std::vector<std::uint8_t>& out) {
    const std::uint8_t command = pending_[0];
    const bool halted = stopped();
    if (command != kReadBlock && command != kWriteBlock) {
        consume(1);
        if (command == kAcknowledge && !halted) answer(out, {ack()});
        return true;
    }
    if (pending_.size() < kBlockHeaderSize) return false;
    const int address = pending_[1] * 256 + pending_[2];
    const std::size_t length = pending_[3];
    const std::size_t size = command == kReadBlock ? kBlockHeaderSize : kBlockHeaderSize + length;
    if (pending_.size() < size) return false;
    if (!halted && command == kWriteBlock) store(address, length);
    consume(size);
    if (halted) return true;
    ++blocksThisSession_;
    answer(out,
           command == kReadBlock ? dataBlock(address, length) : std::vector<std::uint8_t>{ack()});
    return true;
}

std::vector<std::uint8_t> SimulatedRadio::dataBlock(int address, std::size_t length) const {
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
    return reply;
}

void SimulatedRadio::store(int address, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const long offset = address - kImageBaseAddress + static_cast<long>(i);
        if (offset < 0 || offset >= static_cast<long>(memory_.size())) continue;
        std::uint8_t value = pending_[kBlockHeaderSize + i];
        if (fault_.fault == Fault::BadStore && !storedThisSession_) value ^= 0x01;
        storedThisSession_ = true;
        memory_[static_cast<std::size_t>(offset)] = value;
    }
}

}  // namespace r7::sim
