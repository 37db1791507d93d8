#pragma once

// The time-outs an opened port gets, in milliseconds, in the order of the Windows
// COMMTIMEOUTS record. Reads hand over every byte at once; a write may take at most
// (output buffer size \ baud rate) x 10000 + 1000 ms, which with the fixed line settings
// is 1000 ms.

#include <cstdint>

namespace r7::link {

inline constexpr int kOutputBufferSize = 512;
inline constexpr int kBaudRate = 9600;

struct PortTimeouts {
    std::uint32_t ReadIntervalTimeout = 0;
    std::uint32_t ReadTotalTimeoutMultiplier = 0;
    std::uint32_t ReadTotalTimeoutConstant = 0;
    std::uint32_t WriteTotalTimeoutMultiplier = 0;
    std::uint32_t WriteTotalTimeoutConstant = 0;

    bool operator==(const PortTimeouts&) const = default;
};

// The integer division drops the fraction, as the radio's own software computes it.
constexpr PortTimeouts ClonePortTimeouts(int outputBufferSize = kOutputBufferSize,
                                         int baudRate = kBaudRate) {
    const int perBuffer = baudRate > 0 ? outputBufferSize / baudRate : 0;
    return PortTimeouts{1, 1, 1, 1, static_cast<std::uint32_t>(perBuffer * 10000 + 1000)};
}

}  // namespace r7::link
