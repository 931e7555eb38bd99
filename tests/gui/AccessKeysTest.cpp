// Access keys and hint numbers: the portable toolkit rules, one table each.

#include <gtest/gtest.h>

#include "toolkit/AccessKeys.h"
#include "toolkit/SysUtils.h"

namespace {

struct AccessKeyCase {
    const char* what;
    std::vector<std::string> captions;
    std::vector<std::string> shown;
};

const AccessKeyCase kAccessKeyCases[] = {
    {"menu bar", {"File", "Device", "Port"}, {"&File", "&Device", "&Port"}},
    {"file menu with a separator", {"Activate Bootloader", "Debug Window", "-", "Exit"},
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

TEST(StrToInt, AcceptsWholeDecimalIntegersOnly) {
    const std::pair<const char*, int> valid[] = {{"0", 0}, {"-1", -1}, {"55", 55}, {"+7", 7}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : valid) EXPECT_EQ(StrToInt(text), value) << text;
    for (const char* text : {"", "abc", "12abc", " 1", "1 ", "+", "-", "+-1", "0x10", "2147483648"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}
