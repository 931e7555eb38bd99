#pragma once
// A signal as lircd renders it for one code, alternating mark and space
// durations in microseconds with a mark first, turned into the pulse string
// the transmitter replays. The transmitter knows nothing but RC-5 half-bits,
// so every duration must be one or two of them; a signal made of anything
// else belongs to another protocol and is refused, with the reason.

#include <functional>
#include <span>
#include <string>

namespace lircplugin {

// Whether a measured duration counts as the expected one. The driver passes
// lircd's own rule for the remote being sent (its eps and aeps).
using DurationMatch = std::function<bool(int measuredUs, int expectedUs)>;

struct SignalConversion {
    std::string pulses;   // the pulse string; empty when refused
    std::string refusal;  // why the signal cannot be replayed; empty when it can
};

// A trailing space, when there is one, is dropped: after the last mark the
// carrier stays off anyway. A duration that matches both one and two
// half-bits (a remote with a wide tolerance) counts as the nearer one.
SignalConversion pulseStringOfSignal(std::span<const int> durationsUs, const DurationMatch& matches);

}  // namespace lircplugin
