// The escapes the simulator prints and the tools read back (--say, --ack).

#include <gtest/gtest.h>

#include "tools/common/ByteEscapes.h"

TEST(ByteEscapes, EveryByteSurvivesTheRoundTripAndBadEscapesAreRefused) {
    std::vector<std::uint8_t> all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
    const std::string text = tools::escapeBytes(all);
    EXPECT_EQ(tools::unescapeBytes(text), all);
    for (const std::string bad : {"\\", "ab\\q", "\\x4", "\\xZZ"}) EXPECT_FALSE(tools::unescapeBytes(bad)) << bad;
    const std::vector<std::uint8_t> okLine{'O', 'K', '\r', '\n', 'A', 0};
    EXPECT_EQ(tools::unescapeBytes("OK\\r\\n\\x41\\0"), okLine);
}
