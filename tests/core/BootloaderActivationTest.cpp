// The bootloader exchange against an in-memory port: the status text and the
// messages sent for each way the transmitter can answer.

#include "core/BootloaderActivation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Stk500Protocol.h"
#include "platform/serialInterface.h"
#include "tests/support/FakePort.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The transmitter's answer, by default to the first message.
Bytes answer(const Bytes& body, std::uint8_t sequence = 1) {
    return stk500::frame(sequence, body);
}

// What the bootloader exchange sends and reports for each way the transmitter can answer.
TEST(BootloaderExchange, StatusTextAndMessagesSentForEachKindOfAnswer) {
    const Bytes signOnOk =
        answer({stk500::kCmdSignOn, stk500::kStatusCmdOk, 8, 'S', 'T', 'K', '5', '0', '0', '_', '2'});
    const Bytes upgradeOk = answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdOk}, 2);
    const Bytes upgradeFailed = answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdFailed}, 2);
    Bytes badSum = signOnOk;
    badSum.back() ^= 0xFF;
    // A line held low: a header of zeros declares an empty body, and its checksum 0 matches.
    const Bytes zeros(6, 0x00);
    const struct {
        const char* name;
        std::vector<Bytes> answers;
        std::string status;
        std::size_t messagesSent;
    } cases[] = {
        {"silent", {}, "No Sync", 1},
        {"sign-on with a bad checksum", {badSum}, "No Sync", 1},
        {"sign-on refused", {answer({stk500::kCmdSignOn, stk500::kStatusCmdFailed})}, "No Sync", 1},
        {"sign-on only", {signOnOk}, "upgrade Error!", 2},
        {"upgrade refused", {signOnOk, upgradeFailed}, "upgrade Error!", 2},
        {"both answered", {signOnOk, upgradeOk}, "Success!", 2},
        {"any well-framed content", {answer({0x42}), answer({}, 2)}, "Success!", 2},
        {"zeros for the sign-on", {zeros}, "No Sync", 1},
        {"zeros for the upgrade", {signOnOk, zeros}, "upgrade Error!", 2},
        {"sign-on answer with another sequence number",
         {answer({stk500::kCmdSignOn, stk500::kStatusCmdOk}, 7)},
         "No Sync",
         1},
        {"upgrade answered with the sign-on's sequence number",
         {signOnOk, answer({stk500::kCmdFirmwareUpgrade, stk500::kStatusCmdOk}, 1)},
         "upgrade Error!",
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePort fake;
        std::unique_ptr<serialInterface> port(fake.open());
        for (const Bytes& a : c.answers) fake.queueInput(a);
        EXPECT_EQ(bootloader::exchange(port.get()), c.status);
        EXPECT_EQ(fake.writes().size(), 3 * c.messagesSent);
        if (c.messagesSent == 2) {
            const Bytes& body = fake.writes()[4];
            EXPECT_EQ(std::string(body.begin() + 1, body.end()), "vexlarquin");
            EXPECT_EQ(body[0], stk500::kCmdFirmwareUpgrade);
            EXPECT_EQ(fake.writes()[3][1], 2);  // consecutive sequence numbers
        }
    }
}

}  // namespace
