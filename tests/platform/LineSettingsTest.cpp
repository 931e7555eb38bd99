// What an open asks of the driver, checked on the termios it hands over: a
// pseudo-terminal cannot report parity-enable or data bits back.

#include "platform/posix/LineSettings.h"

#include <gtest/gtest.h>

namespace {

constexpr tcflag_t kParityBits = PARENB | PARODD | CMSPAR;

termios driverSettings(tcflag_t parity) {
    termios t{};
    t.c_cflag = CS7 | CSTOPB | CRTSCTS | HUPCL | parity;
    t.c_iflag = ICRNL | IXON | INPCK;
    t.c_oflag = OPOST | ONLCR;
    t.c_lflag = ICANON | ECHO | ISIG;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 5;
    cfsetispeed(&t, B38400);
    cfsetospeed(&t, B38400);
    return t;
}

struct FormatCase {
    const char* format;
    tcflag_t driverParity;
    tcflag_t expectedParity;
};

TEST(LineSettings, FormatTextGivesParityAndAlwaysEightDataBitsOneStopBit) {
    const tcflag_t mark = PARENB | CMSPAR | PARODD;
    const FormatCase cases[] = {
        {"8O1", 0, PARENB | PARODD},
        {"8E1", PARENB | PARODD, PARENB},
        {"8N1", PARENB | PARODD, 0},
        {"8M1", 0, mark},
        {"8S1", PARENB | PARODD, PARENB | CMSPAR},
        {"8e1", mark, mark},  // lower case: the driver's parity stays
        {"8e1", 0, 0},
        {"8X1", PARENB, PARENB},
        {"8N", PARENB | PARODD, 0},  // not 3 long: no parity
        {"", PARENB | PARODD, 0},
        {"8O1x", PARENB | PARODD, 0},
        {"7O2", 0, PARENB | PARODD},  // data bits and stop bits are not read
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("format \"") + c.format + "\", driver parity " + std::to_string(c.driverParity));
        termios t = serial::lineSettings(driverSettings(c.driverParity), 2400, serial::parityOfLineFormat(c.format));
        EXPECT_EQ(t.c_cflag & kParityBits, c.expectedParity);
        EXPECT_EQ(t.c_cflag & CSIZE, tcflag_t{CS8});
        EXPECT_EQ(t.c_cflag & CSTOPB, tcflag_t{0});
        EXPECT_EQ(cfgetospeed(&t), speed_t{B2400});
        EXPECT_EQ(cfgetispeed(&t), speed_t{B2400});
    }
}

TEST(LineSettings, BinaryModeLeavesHardwareFlowControlAndInputCheckingAsTheDriverHadThem) {
    termios t = serial::lineSettings(driverSettings(0), 9600, serial::Parity::None);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO | ISIG | IEXTEN), tcflag_t{0});
    EXPECT_EQ(t.c_oflag & OPOST, tcflag_t{0});
    EXPECT_EQ(t.c_iflag & (ICRNL | IXON | IXOFF), tcflag_t{0}) << "0x11/0x13 and CR must arrive as they are";
    EXPECT_EQ(t.c_cflag & (CREAD | CLOCAL), tcflag_t{CREAD | CLOCAL});
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
    EXPECT_EQ(t.c_cflag & (CRTSCTS | HUPCL), tcflag_t{CRTSCTS | HUPCL});
    EXPECT_EQ(t.c_iflag & INPCK, tcflag_t{INPCK});
}

TEST(LineSettings, RateWithoutATermiosConstantKeepsTheDriversRate) {
    termios t = serial::lineSettings(driverSettings(0), 12345, serial::Parity::None);
    EXPECT_EQ(cfgetospeed(&t), speed_t{B38400});
    EXPECT_EQ(serial::baudRateOfSpeed(*serial::speedOfBaudRate(115200)), 115200);
}

}  // namespace
