// Which names open a port and which are refused before anything is opened:
// a tty's name or its path in /dev, for a tty that a device driver has bound.

#include "platform/serialInterface.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "tests/platform/PortUnderTest.h"

namespace {

namespace fs = std::filesystem;
using Port = std::unique_ptr<serialInterface>;

class PortNames : public ::testing::Test {
protected:
    std::string dev(const std::string& name) const { return line.tree.root() + "/dev/" + name; }
    std::string ttyClass() const { return line.tree.root() + "/sys/class/tty"; }

    // A tty that sysfs lists without a driver, whose /dev entry leads to the
    // transmitter's pty: were it opened, the transmitter would notice.
    void addDriverlessTty(const std::string& name) {
        ASSERT_TRUE(line.tree.addTtyWithoutDriver(name));
        fs::create_symlink(line.transmitter.slavePath(), dev(name));
    }

    PortUnderTest line;
};

TEST_F(PortNames, ATtysNameOrItsPathInDevOpensTheSamePort) {
    // As udev makes them: an alias in /dev that leads to the tty.
    fs::create_symlink("ttyACM0", dev("ttyTELVARA"));
    for (const std::string name : {"ttyACM0", "/dev/ttyACM0", "ttyTELVARA", "/dev/ttyTELVARA"}) {
        SCOPED_TRACE(name);
        Port port(openPort(name, 2400, "8O1"));
        ASSERT_NE(port, nullptr);
        ASSERT_EQ(port->write(name.data(), static_cast<int>(name.size())), static_cast<int>(name.size()));
        const auto got = line.transmitter.receiveExactly(name.size(), 1000);
        EXPECT_EQ(std::string(got.begin(), got.end()), name);
    }
}

TEST_F(PortNames, OtherNamesAreRefusedWithWhatWasTriedAndTheTtyIsLeftAlone) {
    for (const char* name : {"tty", "console", "ptmx", "ttyS3", "tty1"}) addDriverlessTty(name);
    // A device that its driver has let go of.
    fs::create_directories(ttyClass() + "/ttyUSB0/device");
    fs::create_symlink(line.transmitter.slavePath(), dev("ttyUSB0"));
    // A tty with a driver whose /dev entry is no terminal.
    ASSERT_TRUE(line.tree.addTty("ttyACM9", "cdc_acm", ""));
    std::ofstream(dev("ttyACM9")) << "plain file";
    fs::create_symlink(line.transmitter.slavePath(), dev("ptsalias"));

    const std::string notAName =
        "not a port name: give a tty's name (ttyACM0), its path in /dev (/dev/ttyACM0) or its name in "
        "/dev/serial/by-id";
    auto notSerial = [&](const std::string& name) {
        return dev(name) + ": not a serial port (no device driver is bound to " + name + " in " + ttyClass() + ")";
    };
    const struct {
        std::string name;
        std::string failure;
    } cases[] = {
        {"", notAName},
        {".", notAName},
        {"..", notAName},
        {"../dev/ttyACM0", notAName},
        {"./ttyACM0", notAName},
        {"ttyACM0/", notAName},
        {std::string("ttyACM0\0x", 9), notAName},
        {"/dev/", notAName},
        {"/dev//ttyACM0", notAName},
        {"/dev/../dev/ttyACM0", notAName},
        {"dev/ttyACM0", notAName},
        {"/tmp/ttyACM0", notAName},
        {dev("ttyACM0"), notAName},
        {line.transmitter.slavePath(), notAName},
        {"tty", notSerial("tty")},
        {"/dev/tty", notSerial("tty")},
        {"console", notSerial("console")},
        {"ptmx", notSerial("ptmx")},
        {"ttyS3", notSerial("ttyS3")},
        {"tty1", notSerial("tty1")},
        {"ttyUSB0", notSerial("ttyUSB0")},
        {"ptsalias",
         dev("ptsalias") + ": no such port (" + ttyClass() + " lists no tty ptsalias); is the transmitter plugged in?"},
        {"nosuchport", dev("nosuchport") + ": no such port (" + ttyClass() +
                           " lists no tty nosuchport); is the transmitter plugged in?"},
        {"ttyACM9", dev("ttyACM9") + ": not a terminal, so not a serial port"},
    };

    termios before{};
    ASSERT_TRUE(line.transmitter.slaveSettings(before));
    cfsetospeed(&before, B38400);
    ASSERT_TRUE(line.transmitter.setSlaveSettings(before));
    ASSERT_TRUE(line.transmitter.sendAndAwaitArrival("pending"));
    for (const auto& c : cases) {
        SCOPED_TRACE("port name \"" + c.name + "\"");
        serial::OpenFailure failure;
        EXPECT_EQ(Port(openPort(c.name, 2400, "8O1", &failure)), nullptr);
        EXPECT_EQ(failure.text(), c.failure);
        EXPECT_EQ(Port(openPort9600(c.name, &failure)), nullptr);
        EXPECT_EQ(failure.text(), c.failure);
    }
    EXPECT_EQ(line.transmitter.slaveBaudRate(), 38400) << "nothing set the transmitter's line";
    EXPECT_FALSE(line.transmitter.slaveExclusive());
    EXPECT_EQ(line.transmitter.slaveInputPending(), 7) << "nothing threw its input away";
    EXPECT_TRUE(line.transmitter.drain(50).empty()) << "nothing was written to it";
}

TEST_F(PortNames, WithoutADeviceTreeNamesStayInsideTheSystemsDev) {
    ::unsetenv("TELVARA_ROOT");
    for (const std::string& name : {line.transmitter.slavePath().substr(5) /* "pts/N" */, std::string("null"),
                                    std::string("/dev/null"), std::string("/etc/passwd")}) {
        SCOPED_TRACE("port name \"" + name + "\"");
        serial::OpenFailure failure;
        EXPECT_EQ(Port(openPort(name, 2400, "8O1", &failure)), nullptr);
        EXPECT_FALSE(failure.reason.empty());
    }
}

}  // namespace
