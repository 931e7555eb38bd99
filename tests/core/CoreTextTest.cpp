#include <gtest/gtest.h>

#include <string>

#include "core/Rc5Devices.h"
#include "core/ReceivedText.h"
#include "core/UsbSerialFilter.h"

namespace {

TEST(UsbSerialFilter, OnlyTheExactCaseSensitivePrefixMatches) {
    const struct {
        const char* name;
        bool usb;
    } cases[] = {
        {"\\Device\\USBSER000", true},
        {"\\Device\\USBSER", true},
        {"\\Device\\USBSERIAL7", true},
        {"\\Device\\Serial0", false},
        {"\\device\\usbser000", false},
        {"\\Device\\USBSE", false},
        {"Device\\USBSER000", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(isUsbSerialDeviceName(c.name), c.usb) << c.name;
}

TEST(ReceivedText, StopsAtTheFirstZeroByteAndChangesNothingElse) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"A\0B"s, "A"},
        {"\0AB"s, ""},
        {"ok\r\n"s, "ok\r\n"},
        {"\xFF\x80z"s, "\xFF\x80z"},
        {""s, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(receive::receivedText(c.bytes.data(), static_cast<int>(c.bytes.size())), c.text);
    EXPECT_EQ(receive::receivedText(nullptr, 5), "");
    EXPECT_EQ(receive::receivedText("abc", -1), "");
}

TEST(Rc5Devices, NamesAndAddressesOfTheDeviceMenu) {
    EXPECT_EQ(rc5::devices().size(), 7u);
    EXPECT_EQ(rc5::deviceAddress("vcr"), 5);
    EXPECT_EQ(rc5::deviceAddress("CD"), 20);
    EXPECT_EQ(rc5::deviceAddress("Radio"), std::nullopt);
    EXPECT_EQ(rc5::deviceName(17), "Tuner");
    EXPECT_EQ(rc5::deviceName(3), std::nullopt);
}

}  // namespace
