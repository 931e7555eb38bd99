// The setup calls an open makes, traced at link time (--wrap): a pty refuses
// the modem-line calls and forgets parity-enable and data bits, so what the
// open asks of a real UART driver is checked on the calls themselves.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdarg>
#include <memory>
#include <string>
#include <sys/ioctl.h>
#include <termios.h>
#include <vector>

#include "platform/serialInterface.h"
#include "tests/platform/PortUnderTest.h"

namespace {

struct Call {
    std::string name;
    unsigned long request = 0;  // ioctl request, tcflush queue
    int modemBits = 0;          // TIOCMBIC/TIOCMBIS argument
    termios settings{};         // tcsetattr argument
};

std::vector<Call> calls;
bool tracing = false;
bool failTcgetattr = false;

}  // namespace

extern "C" {
int __real_ioctl(int fd, unsigned long request, ...);
int __real_tcsetattr(int fd, int when, const termios* settings);
int __real_tcgetattr(int fd, termios* settings);
int __real_tcflush(int fd, int queue);

int __wrap_ioctl(int fd, unsigned long request, ...) {
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (tracing) {
        Call c{"ioctl", request};
        if ((request == TIOCMBIC || request == TIOCMBIS) && arg != nullptr) c.modemBits = *static_cast<int*>(arg);
        calls.push_back(c);
    }
    return __real_ioctl(fd, request, arg);
}

int __wrap_tcsetattr(int fd, int when, const termios* settings) {
    if (tracing) calls.push_back({"tcsetattr", 0, 0, *settings});
    return __real_tcsetattr(fd, when, settings);
}

int __wrap_tcgetattr(int fd, termios* settings) {
    if (tracing && failTcgetattr) {
        errno = EIO;
        return -1;
    }
    return __real_tcgetattr(fd, settings);
}

int __wrap_tcflush(int fd, int queue) {
    if (tracing) calls.push_back({"tcflush", static_cast<unsigned long>(queue)});
    return __real_tcflush(fd, queue);
}
}

namespace {

class SerialSetupCalls : public ::testing::Test {
protected:
    std::unique_ptr<serialInterface> open(bool bootloader) {
        calls.clear();
        tracing = true;
        std::unique_ptr<serialInterface> port(bootloader ? openPort9600(kTestPortName)
                                                         : openPort(kTestPortName, 2400, "8O1"));
        tracing = false;
        failTcgetattr = false;
        return port;
    }

    std::size_t indexOf(const std::string& name, unsigned long request = 0, int modemBits = 0) const {
        for (std::size_t i = 0; i < calls.size(); ++i)
            if (calls[i].name == name && (request == 0 || calls[i].request == request) &&
                (modemBits == 0 || calls[i].modemBits == modemBits))
                return i;
        return calls.size();
    }

    const termios* settingsAsked() const {
        std::size_t i = indexOf("tcsetattr");
        return i < calls.size() ? &calls[i].settings : nullptr;
    }

    PortUnderTest line;
};

TEST_F(SerialSetupCalls, KeypadOpenAsksForOddParityEightBitsOneStopThenPurgesThenDropsDtrThenRts) {
    auto port = open(false);
    ASSERT_NE(port, nullptr) << "the refused modem-line calls must not fail the open";
    const termios* asked = settingsAsked();
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t{PARENB | PARODD});
    EXPECT_EQ(asked->c_cflag & (CSIZE | CSTOPB), tcflag_t{CS8});
    EXPECT_EQ(cfgetospeed(asked), speed_t{B2400});

    const std::size_t exclusive = indexOf("ioctl", TIOCEXCL);
    const std::size_t settings = indexOf("tcsetattr");
    const std::size_t purge = indexOf("tcflush", TCIOFLUSH);
    const std::size_t dtr = indexOf("ioctl", TIOCMBIC, TIOCM_DTR);
    const std::size_t rts = indexOf("ioctl", TIOCMBIC, TIOCM_RTS);
    ASSERT_LT(rts, calls.size());
    EXPECT_LT(exclusive, settings);
    EXPECT_LT(settings, purge);
    EXPECT_LT(purge, dtr);
    EXPECT_LT(dtr, rts);
}

TEST_F(SerialSetupCalls, BootloaderOpenAsksForNoParity) {
    auto port = open(true);
    ASSERT_NE(port, nullptr);
    const termios* asked = settingsAsked();
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->c_cflag & (PARENB | PARODD | CMSPAR), tcflag_t{0});
    EXPECT_EQ(asked->c_cflag & (CSIZE | CSTOPB), tcflag_t{CS8});
    EXPECT_EQ(cfgetospeed(asked), speed_t{B9600});
}

TEST_F(SerialSetupCalls, UnreadableDriverSettingsStillGiveACompleteBinarySetup) {
    failTcgetattr = true;
    auto port = open(false);
    ASSERT_NE(port, nullptr);
    const termios* asked = settingsAsked();
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->c_cflag & (PARENB | PARODD | CSIZE | CREAD | CLOCAL),
              tcflag_t{PARENB | PARODD | CS8 | CREAD | CLOCAL});
    EXPECT_EQ(asked->c_lflag & (ICANON | ECHO), tcflag_t{0});
    EXPECT_EQ(asked->c_iflag & (IXON | ICRNL), tcflag_t{0});
    ASSERT_TRUE(line.transmitter.send("ok"));
    char buffer[2];
    EXPECT_EQ(port->read(buffer, 2, 500), 2);
}

}  // namespace
