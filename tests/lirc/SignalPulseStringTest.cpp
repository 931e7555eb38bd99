// What lircd renders, turned into the transmitter's pulse string or refused.

#include "tools/lirc/SignalPulseString.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "core/PulseStringDecoder.h"
#include "core/Rc5.h"

namespace {

using lircplugin::pulseStringOfSignal;

// lircd's rule for a remote: within eps percent of the expected duration, or
// within aeps microseconds of it.
lircplugin::DurationMatch tolerance(int eps, int aeps) {
    return [eps, aeps](int measured, int expected) {
        const int off = std::abs(measured - expected);
        return off <= expected * eps / 100 || off <= aeps;
    };
}
const lircplugin::DurationMatch kLircDefault = tolerance(30, 100);

// The durations of a frame's light as lircd renders an RC-5 remote: runs of
// equal half-bits merged, a mark first, no trailing space; `skew` lengthens
// every mark and shortens every space, as a remote that is off by a little.
std::vector<int> renderedFrame(std::int32_t word, int skew = 0) {
    const auto levels = rc5::halfBitLevels(rc5::pulseString(word));
    std::vector<int> durations;
    for (std::size_t i = 0; i < levels->size();) {
        const bool mark = (*levels)[i];
        int run = 0;
        while (i < levels->size() && (*levels)[i] == mark) ++run, ++i;
        durations.push_back(run * rc5::kHalfBitMicroseconds + (mark ? skew : -skew));
    }
    return durations;
}

std::vector<int> repeated(int duration, int count) {
    return std::vector<int>(static_cast<std::size_t>(count), duration);
}

}  // namespace

TEST(SignalPulseString, EveryRc5FrameComesOutAsTheProgramsOwnPulseString) {
    for (std::int32_t word = 0; word < (1 << rc5::kDataBits); ++word) {
        const std::string expected = rc5::pulseString(word);
        for (const int skew : {0, 150, -150}) {
            const auto converted = pulseStringOfSignal(renderedFrame(word, skew), kLircDefault);
            ASSERT_EQ(converted.pulses, expected) << "word " << word << " skew " << skew << ": " << converted.refusal;
            ASSERT_EQ(converted.refusal, "");
        }
    }
}

TEST(SignalPulseString, SignalsTheTransmitterCannotReplayAreRefusedWithTheReason) {
    struct Case {
        const char* what;
        std::vector<int> durations;
        lircplugin::DurationMatch matches;
        const char* reason;
    };
    const std::vector<int> necStart{9000, 4500, 560, 560, 560, 1690, 560};
    std::vector<int> oneHalfBitTooMany = repeated(889, rc5::kFrameHalfBits - 1);
    oneHalfBitTooMany.push_back(1778);
    const Case cases[] = {
        {"nothing", {}, kLircDefault, "the signal is empty"},
        {"a NEC-style header", necStart, kLircDefault, "the mark of 9000 us (duration 1 of 7) is neither one nor two"},
        {"1.5 half-bits", {889, 889, 1334, 889, 889}, tolerance(20, 100), "the mark of 1334 us (duration 3 of 5)"},
        {"3 half-bits", {889, 2667, 889}, kLircDefault, "the space of 2667 us (duration 2 of 3)"},
        {"a space first", {0, 889, 889}, kLircDefault, "starts with a space"},
        {"a missing space", {889, 0, 889}, kLircDefault, "the space of 0 us (duration 2 of 3)"},
        {"28 half-bits", oneHalfBitTooMany, kLircDefault, "longer than 27 RC-5 half-bits"},
    };
    for (const Case& c : cases) {
        const auto converted = pulseStringOfSignal(c.durations, c.matches);
        EXPECT_EQ(converted.pulses, "") << c.what;
        EXPECT_NE(converted.refusal.find(c.reason), std::string::npos) << c.what << ": " << converted.refusal;
    }
}

TEST(SignalPulseString, TakesWhatLircdSendsAroundTheFrame) {
    struct Case {
        const char* what;
        std::vector<int> durations;
        lircplugin::DurationMatch matches;
        const char* pulses;
    };
    const Case cases[] = {
        // The pause after the last mark is the carrier staying off: nothing to send.
        {"a trailing gap", {889, 889, 1778, 113000}, kLircDefault, "*BbD~*"},
        {"a frame's worth of half-bits", repeated(889, 27), kLircDefault, "*BbBbBbBbBbBbBbBbBbBbBbBbBbB~*"},
        // With a wide tolerance both lengths match; the nearer one counts.
        {"a wide tolerance", {889, 1250, 1400}, tolerance(50, 100), "*BbD~*"},
        {"another protocol made of half-bits", {889, 1778, 889, 1778, 889}, kLircDefault, "*BdBdB~*"},
    };
    for (const Case& c : cases) {
        const auto converted = pulseStringOfSignal(c.durations, c.matches);
        EXPECT_EQ(converted.pulses, c.pulses) << c.what << ": " << converted.refusal;
    }
}
