#include "tools/lirc/SignalPulseString.h"

#include <cstdlib>
#include <utility>

#include "core/Rc5.h"

namespace lircplugin {
namespace {

constexpr const char* kEmpty = "the signal is empty";
constexpr const char* kStartsWithSpace =
    "the signal starts with a space; the transmitter replays only signals that start with a mark";
constexpr const char* kMarkOf = "the mark of ";
constexpr const char* kSpaceOf = "the space of ";
constexpr const char* kNotHalfBits =
    " is neither one nor two RC-5 half-bits within the remote's tolerance; the transmitter replays RC-5 only";
constexpr const char* kTooLongHead = "the signal is longer than ";
constexpr const char* kTooLongTail = " RC-5 half-bits (one frame), the most the transmitter replays";

// 1 or 2 for a duration of one or two half-bits, 0 for anything else.
int halfBitsOf(int durationUs, const DurationMatch& matches) {
    int best = 0;
    long bestDistance = 0;
    for (const int halfBits : {1, 2}) {
        const int expected = halfBits * rc5::kHalfBitMicroseconds;
        if (!matches(durationUs, expected)) continue;
        const long distance = std::labs(static_cast<long>(durationUs) - expected);
        if (best == 0 || distance < bestDistance) {
            best = halfBits;
            bestDistance = distance;
        }
    }
    return best;
}

char symbolOf(bool mark, int halfBits) {
    if (mark) return halfBits == 1 ? rc5::kMark : rc5::kDoubleMark;
    return halfBits == 1 ? rc5::kSpace : rc5::kDoubleSpace;
}

SignalConversion refuse(std::string why) {
    return {{}, std::move(why)};
}

}  // namespace

SignalConversion pulseStringOfSignal(std::span<const int> durationsUs, const DurationMatch& matches) {
    if (durationsUs.size() % 2 == 0 && !durationsUs.empty()) durationsUs = durationsUs.first(durationsUs.size() - 1);
    if (durationsUs.empty()) return refuse(kEmpty);
    if (durationsUs.front() == 0) return refuse(kStartsWithSpace);

    std::string runs;
    int totalHalfBits = 0;
    for (std::size_t i = 0; i < durationsUs.size(); ++i) {
        const bool mark = i % 2 == 0;
        const int halfBits = halfBitsOf(durationsUs[i], matches);
        if (halfBits == 0) {
            return refuse((mark ? kMarkOf : kSpaceOf) + std::to_string(durationsUs[i]) + " us (duration " +
                          std::to_string(i + 1) + " of " + std::to_string(durationsUs.size()) + ")" + kNotHalfBits);
        }
        totalHalfBits += halfBits;
        if (totalHalfBits > rc5::kFrameHalfBits) {
            return refuse(kTooLongHead + std::to_string(rc5::kFrameHalfBits) + kTooLongTail);
        }
        runs += symbolOf(mark, halfBits);
    }
    return {rc5::kFrameBoundary + runs + rc5::kRunEnd + rc5::kFrameBoundary, {}};
}

}  // namespace lircplugin
