#pragma once

// The clone protocol on the wire, shared by the program's side and the simulated radio:
// command bytes, block sizes, the radio addresses of the image and the write list.
// Standard C++ only.

#include <cstddef>
#include <cstdint>

#include "image/image_layout.h"

namespace r7::link {

// Commands, program to radio.
inline constexpr std::uint8_t kWakeUp[] = {0x50, 0x52, 0x4F, 0x47, 0x52, 0x41, 0x4D};  // PROGRAM
inline constexpr std::uint8_t kIdentify = 0x02;
inline constexpr std::uint8_t kAcknowledge = 0x06;
inline constexpr std::uint8_t kReadBlock = 0x52;
inline constexpr std::uint8_t kWriteBlock = 0x57;  // also the first byte of a data block's reply
inline constexpr std::uint8_t kEnd = 0x45;
inline constexpr std::uint8_t kReadLength = 0x40;
inline constexpr std::uint8_t kWriteLength = 0x10;
// Command byte, address high, address low, length.
inline constexpr std::size_t kBlockHeaderSize = 4;

// Radio address of image offset 0.
inline constexpr int kImageBaseAddress = layout::kRadioAddressOffset;
inline constexpr int kFirstBlockAddress = kImageBaseAddress;
inline constexpr int kLastReadAddress =
    0x0340;  // a read request is sent while the address is at most this
inline constexpr int kWriteEndAddress =
    0x0360;  // a write block is sent while the address is below this

// The write list: blocks of 10 hex from 0010 up to 035F, skipping the areas the radio is not
// given. The calibration row at 0180 goes only in service mode; the block at 01B8 is the one
// not on a 16-byte boundary.
inline constexpr int kCalibrationAddress = 0x0180;
inline constexpr int kIdentityAddress = 0x01B8;
inline constexpr int kFirstSkipStart = 0x0190;
inline constexpr int kSecondSkipStart = 0x01C8;
inline constexpr int kAfterSecondSkip = 0x0200;

// The address of the write block to send when the next one would be at `address`.
constexpr int WriteBlockAddress(int address, bool serviceUnlocked) {
    if ((!serviceUnlocked && address == kCalibrationAddress) || address == kFirstSkipStart)
        return kIdentityAddress;
    if (address == kSecondSkipStart) return kAfterSecondSkip;
    return address;
}

constexpr int WriteBlockCount(bool serviceUnlocked) {
    int count = 0;
    for (int address = kFirstBlockAddress; address < kWriteEndAddress; address += kWriteLength) {
        address = WriteBlockAddress(address, serviceUnlocked);
        ++count;
    }
    return count;
}
static_assert(WriteBlockCount(false) == 46 && WriteBlockCount(true) == 47);

}  // namespace r7::link
