#include "core/Rc5.h"

#include <gtest/gtest.h>

#include "core/PulseStringDecoder.h"

namespace {

struct Rc5Case {
    int toggle, device, command;
    const char* hex;
    const char* pulses;
};

// The worked examples a user can check against a receiver, and the keys that carry -1.
const Rc5Case kCases[] = {
    {0, 0, 1, "0001", "*BbDbBbBbBbBbBbBbBbBbBbBdB~*"},
    {1, 0, 1, "0801", "*BbBbDbBbBbBbBbBbBbBbBbBdB~*"},
    {0, 5, 53, "0175", "*BbDbBbBdDdBbBbDdDdB~*"},
    {0, 0, 0, "0000", "*BbDbBbBbBbBbBbBbBbBbBbBbB~*"},
    {1, 20, 63, "0D3F", "*BbBbBbDdDbBdBbBbBbBbBbB~*"},
    {0, 16, 16, "0410", "*BbDdDbBbBbBbBdDbBbBbB~*"},
    {0, 0, 2, "0002", "*BbDbBbBbBbBbBbBbBbBbBdD~*"},
    // A "-1" key: all twelve bits set, the longest string there is.
    {0, 0, -1, "FFFFFFFF", "*BbBbBbBbBbBbBbBbBbBbBbBbBbB~*"},
    // -1 borrows from the fields above it: toggle 0, address 31, command 63.
    {1, 0, -1, "07FF", "*BbDdBbBbBbBbBbBbBbBbBbBbB~*"},
    {0, 5, -1, "013F", "*BbDbBbBdDbBdBbBbBbBbBbB~*"},
    {1, 5, -1, "093F", "*BbBbDbBdDbBdBbBbBbBbBbB~*"},
};

TEST(Rc5, CodeWordHexFormAndPulseStringOfEveryWorkedCase) {
    for (const Rc5Case& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.toggle << "," << c.device << "," << c.command);
        const std::int32_t word = rc5::codeWord(c.toggle, c.device, c.command);
        EXPECT_EQ(rc5::hexForm(word), c.hex);
        EXPECT_EQ(rc5::pulseString(word), c.pulses);
    }
}

TEST(Rc5, CodeWordIsUnmaskedAndHexFormIsUnsigned32Bit) {
    EXPECT_EQ(rc5::codeWord(0, 0, -1), -1);
    EXPECT_EQ(rc5::codeWord(1, 31, 63), 4095);
    EXPECT_EQ(rc5::codeWord(0, 40, 100), 40 * 64 + 100);  // spills past bit 11 as computed
    EXPECT_EQ(rc5::hexForm(0), "0000");
    EXPECT_EQ(rc5::hexForm(65535), "FFFF");
    EXPECT_EQ(rc5::hexForm(65536), "10000");
    EXPECT_EQ(rc5::hexForm(-2), "FFFFFFFE");
    EXPECT_EQ(rc5::hexForm(INT32_MIN), "80000000");
}

TEST(Rc5, DebugLineJoinsHexFormAndPulseString) {
    const std::int32_t word = rc5::codeWord(0, 0, 1);
    EXPECT_EQ(rc5::sentFrameLine(word, rc5::pulseString(word)), "0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*");
}

TEST(Rc5, OnlyBitsElevenToZeroAreSent) {
    EXPECT_EQ(rc5::pulseString(rc5::codeWord(0, 0, -1)), rc5::pulseString(4095));
    EXPECT_EQ(rc5::pulseString(rc5::codeWord(0, 64, 1)), rc5::pulseString(1));
}

// Every one of the 4096 words makes a well-formed string that reads back to itself.
TEST(Rc5, EveryTwelveBitWordRoundTripsThroughAWellFormedString) {
    for (int word = 0; word < 4096; ++word) {
        SCOPED_TRACE(word);
        const std::string pulses = rc5::pulseString(word);
        ASSERT_GE(pulses.size(), 18u);
        ASSERT_LE(pulses.size(), 30u);
        ASSERT_EQ(pulses.substr(0, 3), "*Bb");
        ASSERT_EQ(pulses.substr(pulses.size() - 2), "~*");
        const char last = pulses[pulses.size() - 3];
        ASSERT_TRUE(last == 'B' || last == 'D') << pulses;
        for (std::size_t i = 2; i + 3 < pulses.size(); ++i) {
            const bool markHere = pulses[i] == 'B' || pulses[i] == 'D';
            const bool markNext = pulses[i + 1] == 'B' || pulses[i + 1] == 'D';
            ASSERT_NE(markHere, markNext) << pulses;
        }
        const auto frame = rc5::decodePulseString(pulses);
        ASSERT_TRUE(frame.has_value()) << pulses;
        ASSERT_EQ(frame->bits, word);
        ASSERT_EQ(frame->toggle, word >> 11);
        ASSERT_EQ(frame->address, (word >> 6) & 31);
        ASSERT_EQ(frame->command, word & 63);
    }
}

}  // namespace
