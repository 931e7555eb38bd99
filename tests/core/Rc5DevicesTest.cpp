#include "core/Rc5Devices.h"

#include <gtest/gtest.h>

namespace {

TEST(Rc5Devices, NamesAndAddressesOfTheDeviceMenu) {
    EXPECT_EQ(rc5::devices().size(), 7u);
    EXPECT_EQ(rc5::deviceAddress("vcr"), 5);
    EXPECT_EQ(rc5::deviceAddress("CD"), 20);
    EXPECT_EQ(rc5::deviceAddress("Radio"), std::nullopt);
    EXPECT_EQ(rc5::deviceName(17), "Tuner");
    EXPECT_EQ(rc5::deviceName(3), std::nullopt);
}

}  // namespace
