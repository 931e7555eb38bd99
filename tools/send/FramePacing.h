#pragma once
// The pause between two frames sent from the command line. The port takes a
// pulse string at once, but the transmitter needs the string's time on the
// wire (30 characters at 2400 baud 8O1 are about 137 ms) and then one RC-5
// frame period for the light, so that a receiver sees the frames apart rather
// than one held key.

#include <cstddef>

#include "core/KeypadLine.h"
#include "core/Rc5.h"

namespace send {

// 113.8 ms, rounded up to 114.
inline constexpr int kRc5FramePeriodMs = (rc5::kFramePeriodHalfBits * rc5::kHalfBitMicroseconds + 999) / 1000;

constexpr int pauseAfterFrameMs(std::size_t pulseStringLength) {
    const auto bits = static_cast<long long>(pulseStringLength) * keypadWireBitsPerCharacter();
    return static_cast<int>((bits * 1000 + kKeypadBaudRate - 1) / kKeypadBaudRate) + kRc5FramePeriodMs;
}

}  // namespace send
