// serialInterface against a real pseudo-terminal, the test playing the
// transmitter on the master side.

#include "platform/serialInterface.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "core/KeypadLine.h"
#include "core/Rc5.h"
#include "tests/platform/PortUnderTest.h"

namespace {

using Clock = std::chrono::steady_clock;
using Bytes = std::vector<std::uint8_t>;
using Port = std::unique_ptr<serialInterface>;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class SerialInterfacePty : public ::testing::Test {
protected:
    Port openKeypadPort() { return Port(openPort(kTestPortName, kKeypadBaudRate, kKeypadLineFormat)); }

    PortUnderTest line;
};

TEST_F(SerialInterfacePty, OpenSetsBaudAndWhatAPtyKeepsOfParityAndStopBits) {
    struct Case {
        const char* format;
        bool odd;  // PARODD; PARENB and CSIZE a pty does not keep
    };
    // The driver had odd parity and 2 stop bits before the open.
    const Case cases[] = {{"8O1", true}, {"8E1", false}, {"8e1", true}, {"8N", false}, {"", false}, {"7O2", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("format \"") + c.format + "\"");
        termios before{};
        ASSERT_TRUE(line.transmitter.slaveSettings(before));
        before.c_cflag |= PARENB | PARODD | CSTOPB;
        before.c_lflag |= ICANON | ECHO;
        cfsetospeed(&before, B38400);
        cfsetispeed(&before, B38400);
        ASSERT_TRUE(line.transmitter.setSlaveSettings(before));

        Port port(openPort(kTestPortName, 2400, c.format));
        ASSERT_NE(port, nullptr);
        EXPECT_EQ(line.transmitter.slaveBaudRate(), 2400);
        EXPECT_EQ(line.transmitter.slaveParityOdd(), c.odd);
        EXPECT_FALSE(line.transmitter.slaveTwoStopBits());
        termios now{};
        ASSERT_TRUE(line.transmitter.slaveSettings(now));
        EXPECT_EQ(now.c_lflag & (ICANON | ECHO), tcflag_t{0}) << "binary mode";
    }
}

TEST_F(SerialInterfacePty, OpenPort9600SetsNineThousandSixHundredWithoutParity) {
    Port keypad = openKeypadPort();
    ASSERT_NE(keypad, nullptr);
    ASSERT_TRUE(line.transmitter.slaveParityOdd());
    keypad.reset();

    Port bootloader(openPort9600(kTestPortName));
    ASSERT_NE(bootloader, nullptr);
    EXPECT_EQ(line.transmitter.slaveBaudRate(), 9600);
    EXPECT_FALSE(line.transmitter.slaveParityOdd());
    EXPECT_FALSE(line.transmitter.slaveTwoStopBits());
}

TEST_F(SerialInterfacePty, ReadTakesAtMostCountAndLeavesTheRestQueued) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    Bytes sent(200);
    for (std::size_t i = 0; i < sent.size(); ++i) sent[i] = static_cast<std::uint8_t>(i + 1);
    ASSERT_TRUE(line.transmitter.send(sent));

    std::uint8_t buffer[256] = {};
    ASSERT_EQ(port->read(buffer, 128, 500), 128);
    EXPECT_EQ(Bytes(buffer, buffer + 128), Bytes(sent.begin(), sent.begin() + 128));
    ASSERT_EQ(port->read(buffer, 128, 200), 72);
    EXPECT_EQ(Bytes(buffer, buffer + 72), Bytes(sent.begin() + 128, sent.end()));
}

TEST_F(SerialInterfacePty, ReadWaitsForItsTimeOutWhenNothingComes) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    struct Case {
        int timeoutMs;
        long long atLeastMs, below;  // generous: the machine is shared
    };
    const Case cases[] = {{0, 0, 150}, {-5, 0, 150}, {500, 450, 1500}};
    for (const auto& c : cases) {
        SCOPED_TRACE("time-out " + std::to_string(c.timeoutMs));
        std::uint8_t buffer[128];
        auto start = Clock::now();
        EXPECT_EQ(port->read(buffer, 128, c.timeoutMs), 0);
        auto elapsed = msSince(start);
        EXPECT_GE(elapsed, c.atLeastMs);
        EXPECT_LT(elapsed, c.below);
    }
    std::uint8_t buffer[128];
    auto start = Clock::now();
    EXPECT_EQ(port->read(buffer, 128), 0) << "no time-out argument is 1 ms";
    EXPECT_LT(msSince(start), 150);
}

TEST_F(SerialInterfacePty, ReadReturnsAsSoonAsCountHasArrivedInPieces) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(line.transmitter.send("abc"));
    std::thread later([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        line.transmitter.send("de");
    });
    char buffer[8] = {};
    auto start = Clock::now();
    int n = port->read(buffer, 5, 3000);
    auto elapsed = msSince(start);
    later.join();
    EXPECT_EQ(n, 5);
    EXPECT_EQ(std::string(buffer, 5), "abcde");
    EXPECT_LT(elapsed, 2000) << "waited for the time-out although all had come";
}

TEST_F(SerialInterfacePty, ReadOfNothingReturnsAtOnceAndTakesNothing) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(line.transmitter.sendAndAwaitArrival("x"));
    std::uint8_t buffer[4];
    auto start = Clock::now();
    EXPECT_EQ(port->read(buffer, 0, 500), 0);
    EXPECT_EQ(port->read(buffer, -1, 500), 0);
    EXPECT_EQ(port->read(nullptr, 4, 500), 0);
    EXPECT_LT(msSince(start), 150);
    EXPECT_EQ(port->read(buffer, 4, 100), 1) << "the queued byte is still there";
}

TEST_F(SerialInterfacePty, BytesSentBeforeTheOpenAreGone) {
    ASSERT_TRUE(line.transmitter.sendAndAwaitArrival("stale bytes"));
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    char buffer[32];
    EXPECT_EQ(port->read(buffer, sizeof buffer, 100), 0);
    ASSERT_TRUE(line.transmitter.send("fresh"));
    ASSERT_EQ(port->read(buffer, 5, 500), 5);
    EXPECT_EQ(std::string(buffer, 5), "fresh");
}

TEST_F(SerialInterfacePty, APortIsHeldExclusivelyUntilDeleted) {
    Port first = openKeypadPort();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(line.transmitter.slaveExclusive());
    EXPECT_EQ(openKeypadPort(), nullptr);
    EXPECT_EQ(Port(openPort9600(kTestPortName)), nullptr);
    // The same device under another name is the same port.
    ASSERT_TRUE(line.tree.addTty("ttyACM7", "cdc_acm", line.transmitter.slavePath()));
    EXPECT_EQ(Port(openPort("ttyACM7", 2400, "8O1")), nullptr);

    first.reset();
    // Other programs (not root) are turned away by exclusive mode alone, so it
    // must end with the port even while something else holds the tty.
    EXPECT_FALSE(line.transmitter.slaveExclusive());
    Port again = openKeypadPort();
    ASSERT_NE(again, nullptr);
    ASSERT_TRUE(line.transmitter.send("ok"));
    char buffer[2];
    EXPECT_EQ(again->read(buffer, 2, 500), 2);
}

TEST_F(SerialInterfacePty, PulseStringArrivesIntactInOneWrite) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    const std::string pulses = rc5::pulseString(rc5::codeWord(1, 5, 63));
    ASSERT_EQ(port->write(pulses.data(), static_cast<int>(pulses.size())), static_cast<int>(pulses.size()));
    auto received = line.transmitter.receiveExactly(pulses.size(), 1000);
    EXPECT_EQ(std::string(received.begin(), received.end()), pulses);
    EXPECT_TRUE(line.transmitter.drain(50).empty()) << "nothing added";
}

TEST_F(SerialInterfacePty, BinaryBytesPassBothWaysUnchanged) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    Bytes all(256);
    for (int i = 0; i < 256; ++i) all[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    ASSERT_EQ(port->write(all.data(), 256), 256);
    EXPECT_EQ(line.transmitter.receiveExactly(256, 1000), all);
    ASSERT_TRUE(line.transmitter.send(all));
    Bytes back(256);
    ASSERT_EQ(port->read(back.data(), 256, 1000), 256);
    EXPECT_EQ(back, all);
}

TEST_F(SerialInterfacePty, WriteToAStuckLineGivesUpAfterItsTimeOutWithTheCountWritten) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    Bytes lots(4 * 1024 * 1024, 'B');  // far more than a pty buffers; nobody reads the master
    auto start = Clock::now();
    int n = port->write(lots.data(), static_cast<int>(lots.size()));
    auto elapsed = msSince(start);
    EXPECT_GT(n, 0);
    EXPECT_LT(n, static_cast<int>(lots.size()));
    EXPECT_GE(elapsed, 400);
    EXPECT_LT(elapsed, 2000);
    EXPECT_EQ(static_cast<int>(line.transmitter.drain(100).size()), n) << "the count is what went out";
}

TEST_F(SerialInterfacePty, WriteOfNothingWritesNothing) {
    Port port = openKeypadPort();
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->write("x", 0), 0);
    EXPECT_EQ(port->write(nullptr, 3), 0);
    EXPECT_TRUE(line.transmitter.drain(50).empty());
}

}  // namespace

TEST(SerialInterfaceUnplugged, ReadsAndWritesFailAtOnce) {
    auto transmitter = std::make_unique<PseudoTerminal>();
    SimulatedDeviceTree tree;
    ASSERT_TRUE(tree.addTty(kTestPortName, "cdc_acm", transmitter->slavePath()));
    ::setenv("TELVARA_ROOT", tree.root().c_str(), 1);
    Port port(openPort(kTestPortName, 2400, "8O1"));
    ::unsetenv("TELVARA_ROOT");
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(transmitter->sendAndAwaitArrival("last"));
    transmitter.reset();  // the device goes away with bytes still unread

    char buffer[16];
    auto start = Clock::now();
    int n = port->read(buffer, sizeof buffer, 500);
    EXPECT_TRUE(n == 0 || (n == 4 && std::string(buffer, 4) == "last")) << n;
    EXPECT_EQ(port->read(buffer, sizeof buffer, 500), 0);
    EXPECT_EQ(port->write("*Bb~*", 5), 0);
    EXPECT_LT(msSince(start), 400) << "a port that is gone does not make the caller wait";
}
