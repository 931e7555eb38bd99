#pragma once
// The pause between two frames sent from the command line. The port takes a
// pulse string at once, but the transmitter needs the string's time on the
// wire (30 characters at 2400 baud 8O1 are about 137 ms) and then one RC-5
// frame period for the light, so that a receiver sees the frames apart rather
// than one held key.

#include <cstddef>

#include "core/KeypadLine.h"

namespace send {

inline constexpr int kRc5FramePeriodMs = 114;  // 64 bit times of 1.778 ms

constexpr int wireBitsPerCharacter() {
    // start bit, data bits, a parity bit unless 'N', stop bits: "8O1" gives 11
    return 1 + (kKeypadLineFormat[0] - '0') + (kKeypadLineFormat[1] == 'N' ? 0 : 1) + (kKeypadLineFormat[2] - '0');
}

constexpr int pauseAfterFrameMs(std::size_t pulseStringLength) {
    const auto bits = static_cast<long long>(pulseStringLength) * wireBitsPerCharacter();
    return static_cast<int>((bits * 1000 + kKeypadBaudRate - 1) / kKeypadBaudRate) + kRc5FramePeriodMs;
}

}  // namespace send
