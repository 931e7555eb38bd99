// The message frame against bytes written out by hand.

#include "core/Stk500Protocol.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <span>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Stk500Protocol, FrameIsStartSequenceSizeTokenBodyAndXorOfAll) {
    const struct {
        const char* what;
        std::uint8_t sequence;
        Bytes body;
        Bytes message;
    } cases[] = {
        {"sign-on", 0x01, {0x01}, {0x1B, 0x01, 0x00, 0x01, 0x0E, 0x01, 0x14}},
        {"empty body", 0xFF, {}, {0x1B, 0xFF, 0x00, 0x00, 0x0E, 0xEA}},
        {"answer", 0x02, {0x07, 0x00}, {0x1B, 0x02, 0x00, 0x02, 0x0E, 0x07, 0x00, 0x12}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stk500::frame(c.sequence, c.body), c.message) << c.what;
        EXPECT_EQ(stk500::declaredBodySize(std::span(c.message).first<stk500::kHeaderSize>()), c.body.size()) << c.what;
    }
}

TEST(Stk500Protocol, SizeFieldIsBigEndianAcrossBothBytes) {
    const Bytes body(300, 0xAA);
    const Bytes message = stk500::frame(0x05, body);
    ASSERT_EQ(message.size(), 306u);
    EXPECT_EQ(message[2], 0x01);
    EXPECT_EQ(message[3], 0x2C);
    // 300 bytes of 0xAA cancel out pairwise: what is left is the header's XOR.
    EXPECT_EQ(message.back(), 0x3D);

    const std::uint8_t header[] = {0x1B, 0x00, 0xFF, 0xFF, 0x0E};
    EXPECT_EQ(stk500::declaredBodySize(header), 0xFFFFu);
}

}  // namespace
