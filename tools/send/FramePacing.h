#pragma once
// The pause between two frames sent from the command line. The port takes a
// pulse string at once, but the transmitter needs the string's time on the
// wire (30 characters at 2400 baud 8O1 are about 137 ms) and then one RC-5
// frame period for the light, so that a receiver sees the frames apart rather
// than one held key.

#include <algorithm>
#include <cstddef>

#include "core/KeypadLine.h"
#include "core/Rc5.h"

namespace sender {

// How long the pulse string takes on the wire at the keypad's line settings.
constexpr int wireTimeMs(std::size_t pulseStringLength) {
    const auto bits = static_cast<long long>(pulseStringLength) * keypadWireBitsPerCharacter();
    return static_cast<int>((bits * 1000 + kKeypadBaudRate - 1) / kKeypadBaudRate);
}

constexpr int pauseAfterFrameMs(std::size_t pulseStringLength) {
    return wireTimeMs(pulseStringLength) + rc5::kFramePeriodMs;
}

// From the start of one frame of a held key to the start of the next: one
// RC-5 frame period, as a remote repeats it. A pulse string longer on the
// wire than that (more than 24 characters at 2400 baud) sets the pace
// instead: sent any faster, the repeats would pile up in the port's queue
// and run on after the key is let go.
constexpr int repeatPeriodMs(std::size_t pulseStringLength) {
    return std::max(rc5::kFramePeriodMs, wireTimeMs(pulseStringLength));
}

}  // namespace sender
