#pragma once

// The radio's side of the clone protocol, for tests and benchmarks: bytes in, bytes out,
// no clock and no I/O. It answers what the program sends the way the program expects.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "image/image_codec.h"

namespace r7::sim {

enum class Fault {
    None,
    Silent,         // answers nothing at all
    WrongIdentity,  // identifies as a model the program does not know
    ShortBlock,     // read blocks lack their last data byte
    WrongAck,       // every acknowledgement after the wake-up one is NAK (15)
    StopAfter,      // stops answering block commands after the first N of a session
    Garbage,        // every reply is followed by a stray byte
    BadStore,       // the first written byte of a session is stored with its low bit flipped
    DoubleReply,    // every reply is sent twice, back to back
    CloseAfter,     // after N block commands of a session, half the next reply, then the line goes
                    // dead
};

struct FaultSetting {
    Fault fault = Fault::None;
    int stopAfter = 0;  // for StopAfter and CloseAfter
};

// "silent", "wrong-identity", "short-block", "wrong-ack", "stop-after=N", "garbage", "bad-store",
// "double-reply", "close-after=N".
std::optional<FaultSetting> ParseFault(std::string_view name);

inline constexpr std::uint8_t kIdentity[8] = {0x50, 0x33, 0x32, 0x30, 0x37, 0x33, 0xF8, 0xFF};

class SimulatedRadio {
public:
    explicit SimulatedRadio(const ImageBytes& memory, FaultSetting fault = {});

    // Everything the radio answers to these bytes (possibly nothing yet).
    std::vector<std::uint8_t> receive(std::span<const std::uint8_t> bytes);

    const ImageBytes& memory() const { return memory_; }
    int sessionsEnded() const { return sessionsEnded_; }
    // StopAfter has struck in this session: block commands go unanswered and unstored.
    bool stopped() const {
        return fault_.fault == Fault::StopAfter && stage_ == Stage::Blocks &&
               blocksThisSession_ >= fault_.stopAfter;
    }
    // CloseAfter has struck: whoever carries the bytes must drop the line after the last ones.
    bool hungUp() const { return hungUp_; }

private:
    enum class Stage { AwaitWakeUp, AwaitIdentify, AwaitAcknowledge, Blocks };

    // Handles the command at the head of pending_; false when more bytes are needed.
    bool step(std::vector<std::uint8_t>& out);
    void answer(std::vector<std::uint8_t>& out, std::vector<std::uint8_t> reply);
    std::uint8_t ack() const;
    void startSession(std::vector<std::uint8_t>& out);
    bool findWakeUp(std::vector<std::uint8_t>& out);
    bool wakeUpAgain(std::vector<std::uint8_t>& out);
    bool blockCommand(std::vector<std::uint8_t>& out);
    std::vector<std::uint8_t> dataBlock(int address, std::size_t length) const;
    void store(int address, std::size_t length);
    void consume(std::size_t count);

    ImageBytes memory_;
    FaultSetting fault_;
    Stage stage_ = Stage::AwaitWakeUp;
    std::vector<std::uint8_t> pending_;
    int blocksThisSession_ = 0;
    bool storedThisSession_ = false;
    int sessionsEnded_ = 0;
    bool hungUp_ = false;
};

}  // namespace r7::sim
