// The serial device map read from a fake sysfs tree, as the Port menu sees it.

#include "platform/SerialDeviceMap.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/serialInterface.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class SerialDeviceMapTree : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("TELVARA_ROOT", tree.root().c_str(), 1); }
    void TearDown() override { ::unsetenv("TELVARA_ROOT"); }

    Entries entries(const SerialDeviceMap& map) {
        Entries all;
        for (const auto& name : map.valueNames()) {
            std::string text, error;
            EXPECT_TRUE(map.readText(name, text, error)) << name;
            all.emplace_back(name, text);
        }
        return all;
    }

    SimulatedDeviceTree tree;
};

TEST_F(SerialDeviceMapTree, DrivenTtysAreListedUsbSerialOnesFirstInNameOrder) {
    tree.addTty("ttyACM1", "cdc_acm", "");
    tree.addTty("ttyACM0", "cdc_acm", "");
    tree.addTty("ttyS0", "serial8250", "");
    tree.addTty("ttyUSB0", "ftdi_sio", "");
    tree.addTtyWithoutDriver("tty0");

    SerialDeviceMap map;
    ASSERT_TRUE(map.isOpen());
    EXPECT_EQ(entries(map), (Entries{
                                {"\\Device\\USBSER000", "ttyACM0"},
                                {"\\Device\\USBSER001", "ttyACM1"},
                                {"\\Device\\Serial0", "ttyS0"},
                                {"\\Device\\Serial1", "ttyUSB0"},
                            }));
    for (const auto& [name, port] : entries(map))
        EXPECT_EQ(isUsbSerialDeviceName(name), port.starts_with("ttyACM")) << name;
}

TEST_F(SerialDeviceMapTree, NumbersInNamesAreOrderedAsNumbers) {
    for (const char* name : {"ttyACM10", "ttyACM2", "ttyACM0"}) tree.addTty(name, "cdc_acm", "");
    SerialDeviceMap map;
    EXPECT_EQ(entries(map), (Entries{
                                {"\\Device\\USBSER000", "ttyACM0"},
                                {"\\Device\\USBSER001", "ttyACM2"},
                                {"\\Device\\USBSER002", "ttyACM10"},
                            }));
}

TEST_F(SerialDeviceMapTree, UnknownValueNameIsAnErrorNamingIt) {
    tree.addTty("ttyACM0", "cdc_acm", "");
    SerialDeviceMap map;
    std::string text = "untouched", error;
    EXPECT_FALSE(map.readText("\\Device\\USBSER%s%n", text, error));
    EXPECT_EQ(error, "Failed to get data for '\\Device\\USBSER%s%n'");
    EXPECT_EQ(text, "untouched");
}

TEST_F(SerialDeviceMapTree, NoTtyClassMeansNoMap) {
    ASSERT_TRUE(tree.removeTtyClass());
    SerialDeviceMap map;
    EXPECT_FALSE(map.isOpen());
    EXPECT_TRUE(map.valueNames().empty());
}

TEST_F(SerialDeviceMapTree, EmptyTtyClassIsAnOpenMapWithoutPorts) {
    tree.addTtyWithoutDriver("tty0");
    SerialDeviceMap map;
    EXPECT_TRUE(map.isOpen());
    EXPECT_TRUE(map.valueNames().empty());
}

TEST_F(SerialDeviceMapTree, ListedPortNameOpensTheDevice) {
    PseudoTerminal transmitter;
    tree.addTty("ttyACM0", "cdc_acm", transmitter.slavePath());
    SerialDeviceMap map;
    ASSERT_EQ(map.valueNames().size(), 1u);
    std::string portName, error;
    ASSERT_TRUE(map.readText(map.valueNames()[0], portName, error));
    std::unique_ptr<serialInterface> port(openPort(portName, 2400, "8O1"));
    ASSERT_NE(port, nullptr);
    ASSERT_EQ(port->write("*~*", 3), 3);
    auto got = transmitter.receiveExactly(3, 1000);
    EXPECT_EQ(std::string(got.begin(), got.end()), "*~*");
}

}  // namespace
