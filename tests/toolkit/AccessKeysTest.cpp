// Access keys: each menu item gets a letter of its own among its siblings.

#include <gtest/gtest.h>

#include "toolkit/AccessKeys.h"

namespace {

struct AccessKeyCase {
    const char* what;
    std::vector<std::string> captions;
    std::vector<std::string> shown;
};

const AccessKeyCase kAccessKeyCases[] = {
    {"menu bar", {"File", "Device", "Port"}, {"&File", "&Device", "&Port"}},
    {"file menu with a separator",
     {"Activate Bootloader", "Debug Window", "-", "Exit"},
     {"&Activate Bootloader", "&Debug Window", "-", "&Exit"}},
    {"letters taken by earlier siblings, whatever their case",
     {"TV", "VCR", "Sat", "Amp", "Tuner", "Tape", "CD"},
     {"&TV", "&VCR", "&Sat", "&Amp", "T&uner", "Ta&pe", "&CD"}},
    {"port names", {"ttyACM0", "ttyACM1", "ttyACM2"}, {"&ttyACM0", "tt&yACM1", "tty&ACM2"}},
    {"no letter left", {"ab", "ab", "ab"}, {"&ab", "a&b", "ab"}},
    {"a literal ampersand is doubled", {"R&D", "D&R"}, {"&R&&D", "&D&&R"}},
    {"digits and other bytes are never keys", {"1x", "\xc3\xa9z"}, {"1&x", "\xc3\xa9&z"}},
    {"empty", {}, {}},
};

}  // namespace

TEST(AccessKeys, EachItemTakesTheFirstLetterNoEarlierSiblingHolds) {
    for (const AccessKeyCase& c : kAccessKeyCases) EXPECT_EQ(toolkit::withAccessKeys(c.captions), c.shown) << c.what;
}
