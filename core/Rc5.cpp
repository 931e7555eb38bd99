#include "core/Rc5.h"

#include <cstdio>

namespace rc5 {

std::int32_t codeWord(std::int32_t toggle, std::int32_t device, std::int32_t command) {
    // Computed in unsigned arithmetic so that out-of-range inputs wrap as the
    // two's-complement word they stand for instead of overflowing.
    const auto word = static_cast<std::uint32_t>(toggle) * kToggleWeight +
                      static_cast<std::uint32_t>(device) * kAddressWeight + static_cast<std::uint32_t>(command);
    return static_cast<std::int32_t>(word);
}

std::string hexForm(std::int32_t codeWord) {
    char digits[9];
    std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(static_cast<std::uint32_t>(codeWord)));
    return digits;
}

std::string pulseString(std::int32_t codeWord) {
    // The prefix is the two start bits (1, 1) without the leading space of the
    // first; the second start bit's mark is still pending.
    std::string pulses{kFrameBoundary, kMark, kSpace};
    char pending = kMark;
    for (std::uint32_t mask = 1u << (kDataBits - 1); mask != 0; mask >>= 1) {
        const bool one = (static_cast<std::uint32_t>(codeWord) & mask) != 0;
        const char firstHalf = one ? kSpace : kMark;
        const char secondHalf = one ? kMark : kSpace;
        if (pending == firstHalf) {
            pulses += pending == kSpace ? kDoubleSpace : kDoubleMark;
        } else {
            pulses += pending;
            pulses += firstHalf;
        }
        pending = secondHalf;
    }
    // A trailing space is never sent: the carrier is simply off afterwards.
    if (pending == kMark) pulses += kMark;
    pulses += kRunEnd;
    pulses += kFrameBoundary;
    return pulses;
}

std::string sentFrameLine(std::int32_t codeWord, const std::string& pulse) {
    return "0x" + hexForm(codeWord) + " -> " + pulse;
}

}  // namespace rc5
