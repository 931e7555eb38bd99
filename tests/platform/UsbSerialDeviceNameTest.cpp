// Which of the device map's value names are USB serial devices (platform/SerialDeviceMap.h).

#include <gtest/gtest.h>

#include "platform/SerialDeviceMap.h"

namespace {

TEST(UsbSerialDeviceName, OnlyTheExactCaseSensitivePrefixMatches) {
    const struct {
        const char* name;
        bool usb;
    } cases[] = {
        {"\\Device\\USBSER000", true},  {"\\Device\\USBSER", true},
        {"\\Device\\USBSERIAL7", true}, {"\\Device\\Serial0", false},
        {"\\device\\usbser000", false}, {"\\Device\\USBSE", false},
        {"Device\\USBSER000", false},   {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isUsbSerialDeviceName(c.name), c.usb) << c.name;
}

}  // namespace
