// STK500v2 exchanges over a real pseudo-terminal opened as the bootloader port,
// the test answering as the transmitter.

#include "core/Stk500Session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "core/BootloaderActivation.h"
#include "core/Stk500Protocol.h"
#include "platform/serialInterface.h"
#include "tests/platform/PortUnderTest.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

// A message as the transmitter frames it; `start`, `token` and `declared` (the
// size field) can be made wrong, and the checksum still matches what is sent.
Bytes answer(const Bytes& body, std::uint8_t sequence = 1, std::uint8_t start = stk500::kMessageStart,
             std::uint8_t token = stk500::kToken, int declared = -1) {
    Bytes m = stk500::frame(sequence, body);
    m[0] = start;
    m[4] = token;
    if (declared >= 0) {
        m[2] = static_cast<std::uint8_t>(declared >> 8);
        m[3] = static_cast<std::uint8_t>(declared);
    }
    m.back() = stk500::checksum(m.data(), m.size() - 1);
    return m;
}

Bytes without(const Bytes& m, std::size_t lastBytes) {
    return Bytes(m.begin(), m.end() - static_cast<std::ptrdiff_t>(lastBytes));
}

class Stk500SessionPty : public ::testing::Test {
protected:
    void SetUp() override {
        port.reset(openPort9600(kTestPortName));
        ASSERT_NE(port, nullptr);
    }

    PortUnderTest line;
    std::unique_ptr<serialInterface> port;
};

TEST_F(Stk500SessionPty, SignOnOfSequenceOneGoesOutAsSevenBytes) {
    Stk500Session session(port.get());
    session.sequenceNumber = 0;
    ASSERT_TRUE(line.transmitter.send(answer({stk500::kCmdSignOn, stk500::kStatusCmdOk})));
    EXPECT_TRUE(session.signOn());
    EXPECT_EQ(line.transmitter.receiveExactly(7, 1000), (Bytes{0x1B, 0x01, 0x00, 0x01, 0x0E, 0x01, 0x14}));
    EXPECT_TRUE(line.transmitter.drain(50).empty());
}

TEST_F(Stk500SessionPty, FirmwareUpgradeCarriesTheAccessCodeInSeventeenBytes) {
    Stk500Session session(port.get());
    session.sequenceNumber = 1;
    ASSERT_TRUE(line.transmitter.send(answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdOk}, 2)));
    EXPECT_TRUE(session.firmwareUpgrade(bootloader::kAccessCode));

    const std::string code = bootloader::kAccessCode;
    Bytes expected{0x1B, 0x02, 0x00, 0x0B, 0x0E, 0x07};
    expected.insert(expected.end(), code.begin(), code.end());
    expected.push_back(stk500::checksum(expected.data(), expected.size()));
    ASSERT_EQ(expected.size(), 17u);
    EXPECT_EQ(line.transmitter.receiveExactly(17, 1000), expected);
    EXPECT_TRUE(line.transmitter.drain(50).empty());
}

enum class Call { Receive, SignOn, FirmwareUpgrade };

struct ReceiveCase {
    const char* what;
    Call call;
    Bytes fromTransmitter;
    bool accepted;
};

TEST_F(Stk500SessionPty, AnswersAreJudgedByFramingCompletenessChecksumAndFailureStatus) {
    const Bytes ok = answer({stk500::kCmdSignOn, stk500::kStatusCmdOk});
    Bytes wrongSum = ok;
    wrongSum.back() ^= 0x01;
    Bytes stray(1 + ok.size(), 0x00);
    std::copy(ok.begin(), ok.end(), stray.begin() + 1);
    Bytes full(stk500::kBodyBufferSize, 0x5A);
    Bytes tooLarge(stk500::kBodyBufferSize + 1, 0x5A);

    const std::vector<ReceiveCase> cases = {
        {"silent transmitter", Call::Receive, {}, false},
        {"four header bytes only", Call::Receive, Bytes(ok.begin(), ok.begin() + 4), false},
        {"body shorter than declared", Call::Receive, without(ok, 2), false},
        {"checksum missing", Call::Receive, without(ok, 1), false},
        {"checksum wrong", Call::Receive, wrongSum, false},
        {"stray byte before the answer", Call::Receive, stray, false},
        {"empty body", Call::Receive, answer({}), true},
        {"whole answer", Call::Receive, ok, true},
        {"six zero bytes (a line held low)", Call::Receive, Bytes(6, 0x00), false},
        {"zeros after a correct start byte", Call::Receive, answer({}, 0, stk500::kMessageStart, 0x00), false},
        {"other start byte", Call::Receive, answer({0x01, 0x00}, 1, 0x55), false},
        {"other token", Call::Receive, answer({0x01, 0x00}, 1, stk500::kMessageStart, 0x0F), false},
        {"other sequence number", Call::Receive, answer({0x01, 0x00}, 0x99), false},
        {"sequence number of the message before", Call::Receive, answer({0x01, 0x00}, 0), false},
        {"body that fills the buffer", Call::Receive, answer(full), true},
        {"body larger than the buffer", Call::Receive, answer(tooLarge), false},
        {"size field far beyond the buffer", Call::Receive, answer({0x01}, 1, 0x1B, 0x0E, 0xFFFF), false},
        {"sign-on answered OK", Call::SignOn, ok, true},
        {"sign-on answered with zeros", Call::SignOn, Bytes(6, 0x00), false},
        {"sign-on answered with another sequence number", Call::SignOn,
         answer({stk500::kCmdSignOn, stk500::kStatusCmdOk}, 2), false},
        {"sign-on answered failed", Call::SignOn, answer({stk500::kCmdSignOn, stk500::kStatusCmdFailed}), false},
        {"sign-on answered checksum error", Call::SignOn, answer({stk500::kAnswerChecksumError}), false},
        {"upgrade answered OK", Call::FirmwareUpgrade, answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdOk}),
         true},
        {"upgrade answered failed", Call::FirmwareUpgrade,
         answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdFailed}), false},
        {"upgrade answered with a bare checksum error", Call::FirmwareUpgrade, answer({stk500::kAnswerChecksumError}),
         false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        PortUnderTest fresh;
        std::unique_ptr<serialInterface> p(openPort9600(kTestPortName));
        ASSERT_NE(p, nullptr);
        ASSERT_TRUE(c.fromTransmitter.empty() || fresh.transmitter.send(c.fromTransmitter));
        Stk500Session session(p.get());
        // A bare receive judges the answer to a message of sequence number 1,
        // which is also what the sign-on and the upgrade send from here.
        session.sequenceNumber = c.call == Call::Receive ? 1 : 0;
        auto start = Clock::now();
        bool result = false;
        switch (c.call) {
            case Call::Receive: result = session.receiveMessage(); break;
            case Call::SignOn: result = session.signOn(); break;
            case Call::FirmwareUpgrade: result = session.firmwareUpgrade(bootloader::kAccessCode); break;
        }
        EXPECT_EQ(result, c.accepted);
        EXPECT_LE(session.bodyLength, session.body.size());
        // Three reads of at most 500 ms each; generous for a shared machine.
        EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(2500));
    }
}

}  // namespace
