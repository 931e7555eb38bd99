// How the session calls the port: the grouping of writes, the read time-outs
// and the sequence numbers.

#include "core/Stk500Session.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "core/Stk500Protocol.h"
#include "platform/serialInterface.h"
#include "tests/support/FakePort.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Stk500Framing, SignOnIsWrittenAsHeaderBodyAndChecksumAndReadWithHalfSecondTimeouts) {
    FakePort fake;
    std::unique_ptr<serialInterface> port(fake.open());
    fake.queueInput(stk500::frame(1, Bytes{stk500::kCmdSignOn, stk500::kStatusCmdOk}));
    Stk500Session session(port.get());

    EXPECT_TRUE(session.signOn());

    EXPECT_EQ(fake.writes(), (std::vector<Bytes>{{0x1B, 0x01, 0x00, 0x01, 0x0E}, {0x01}, {0x14}}));
    ASSERT_EQ(fake.reads().size(), 3u);
    const int counts[] = {5, 2, 1};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fake.reads()[i].count, counts[i]);
        EXPECT_EQ(fake.reads()[i].timeoutMs, 500);
    }
}

TEST(Stk500Framing, SequenceNumberWrapsFrom255ToZero) {
    FakePort fake;
    std::unique_ptr<serialInterface> port(fake.open());
    Stk500Session session(port.get());
    session.sequenceNumber = 254;
    session.body[0] = stk500::kCmdSignOn;
    session.bodyLength = 1;
    session.sendMessage();
    session.sendMessage();
    ASSERT_EQ(fake.writes().size(), 6u);
    EXPECT_EQ(fake.writes()[0][1], 255);
    EXPECT_EQ(fake.writes()[3][1], 0);
    EXPECT_EQ(fake.writes()[5], Bytes{0x15});  // 0x15 XOR sequence 0
}

TEST(Stk500Framing, EmptyAnswerBodyIsNotReadButChecksummed) {
    FakePort fake;
    std::unique_ptr<serialInterface> port(fake.open());
    fake.queueInput(stk500::frame(1, Bytes{}));
    Stk500Session session(port.get());
    session.sequenceNumber = 1;  // as after sending the message this answers
    EXPECT_TRUE(session.receiveMessage());
    EXPECT_EQ(session.bodyLength, 0u);
    ASSERT_EQ(fake.reads().size(), 2u);  // header, checksum
}

}  // namespace
