// The SERIALCOMM map as scripts/test-windows writes it with `wine reg add`:
//   \Device\Serial7        REG_SZ         COM21
//   \Device\USBSE          REG_SZ         COM32
//   \Device\USBSER         REG_EXPAND_SZ  COM30
//   \Device\USBSER000      REG_SZ         COM20
//   \device\usbser009      REG_SZ         COM29
//   \Device\USBSER_%s%n    REG_DWORD      7
//   \Device\USBSER~after   REG_SZ         COM31
// wine enumerates values sorted by name, ignoring case.

#include <gtest/gtest.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "ImportSlot.h"
#include "platform/SerialDeviceMap.h"

namespace {

constexpr const char* kMapKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

TEST(SerialDeviceMapTest, ListsEveryValueNameInTheRegistrysOrder) {
    SerialDeviceMap map;
    ASSERT_TRUE(map.isOpen());
    EXPECT_EQ(map.valueNames(), (std::vector<std::string>{"\\Device\\Serial7", "\\Device\\USBSE", "\\Device\\USBSER",
                                                          "\\Device\\USBSER000", "\\device\\usbser009",
                                                          "\\Device\\USBSER_%s%n", "\\Device\\USBSER~after"}));
}

struct ReadCase {
    const char* label;  // the test's name
    const char* name;
    bool ok;
    const char* text;   // when ok
    const char* error;  // when not
};

void PrintTo(const ReadCase& c, std::ostream* out) {
    *out << c.label;
}

class SerialDeviceMapReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(SerialDeviceMapReadTest, ReadsTextValuesAndNamesTheValueThatIsNot) {
    const ReadCase& c = GetParam();
    SerialDeviceMap map;
    std::string text = "left over", error = "left over";
    EXPECT_EQ(map.readText(c.name, text, error), c.ok);
    if (c.ok) {
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(error, "");
    } else {
        EXPECT_EQ(error, c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Values, SerialDeviceMapReadTest,
                         ::testing::Values(ReadCase{"text", "\\Device\\USBSER000", true, "COM20", nullptr},
                                           ReadCase{"expandableText", "\\Device\\USBSER", true, "COM30",
                                                    nullptr},  // REG_EXPAND_SZ counts as text
                                           ReadCase{"number", "\\Device\\USBSER_%s%n", false, nullptr,
                                                    "Invalid data type for '\\Device\\USBSER_%s%n'"},
                                           ReadCase{"absent", "\\Device\\Gone", false, nullptr,
                                                    "Failed to get data for '\\Device\\Gone'"}),
                         [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

// A value this test puts into the map and takes out again, for data that
// `reg add` cannot write: text without its closing NUL, or no data at all.
class ScratchValue {
public:
    ScratchValue(const char* name, DWORD type, const std::string& data) : name_(name) {
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, kMapKey, 0, KEY_SET_VALUE, &key_);
        RegSetValueExA(key_, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                       static_cast<DWORD>(data.size()));
    }
    ~ScratchValue() {
        RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }
    ScratchValue(const ScratchValue&) = delete;
    ScratchValue& operator=(const ScratchValue&) = delete;

private:
    const char* name_;
    HKEY key_ = nullptr;
};

struct RawCase {
    const char* label;  // the test's name
    DWORD type;
    std::string data;  // stored byte for byte
    bool ok;
    std::string text;
};

void PrintTo(const RawCase& c, std::ostream* out) {
    *out << c.label;
}

class SerialDeviceMapRawTest : public ::testing::TestWithParam<RawCase> {};

TEST_P(SerialDeviceMapRawTest, TextEndsAtItsFirstNulOrAtTheEndOfTheData) {
    const RawCase& c = GetParam();
    ScratchValue value("\\Device\\USBSERscratch", c.type, c.data);
    SerialDeviceMap map;
    std::string text, error;
    EXPECT_EQ(map.readText("\\Device\\USBSERscratch", text, error), c.ok) << error;
    EXPECT_EQ(text, c.text);
    if (!c.ok) {
        EXPECT_EQ(error, "Invalid data type for '\\Device\\USBSERscratch'");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Data, SerialDeviceMapRawTest,
    ::testing::Values(RawCase{"noClosingNul", REG_SZ, "COM9", true, "COM9"},
                      RawCase{"textUpToItsNul", REG_SZ, std::string("COM7\0junk", 9), true, "COM7"},
                      RawCase{"longText", REG_SZ, std::string(300, 'C'), true, std::string(300, 'C')},
                      RawCase{"noData", REG_SZ, "", true, ""}, RawCase{"noDataOfAnotherType", REG_BINARY, "", true, ""},
                      RawCase{"binary", REG_BINARY, "COM5", false, ""},
                      RawCase{"multiText", REG_MULTI_SZ, std::string("COM5\0\0", 6), false, ""}),
    [](const ::testing::TestParamInfo<RawCase>& info) { return std::string(info.param.label); });

// Stands in for RegOpenKeyExA to see what the map asks for.
struct OpenRecord {
    std::string subKey;
    REGSAM access;
};
std::vector<OpenRecord> opens;
using RegOpenKeyExAFn = LSTATUS(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
RegOpenKeyExAFn realRegOpenKeyExA = nullptr;

LSTATUS WINAPI recordingRegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result) {
    opens.push_back({subKey ? subKey : "", access});
    return realRegOpenKeyExA(key, subKey, options, access, result);
}

TEST(SerialDeviceMapTest, OpensTheMapOneLevelAtATimeForReadingOnly) {
    std::uintptr_t* slot = importSlot("advapi32.dll", "RegOpenKeyExA");
    ASSERT_NE(slot, nullptr);
    realRegOpenKeyExA = reinterpret_cast<RegOpenKeyExAFn>(*slot);
    opens.clear();
    replaceImport(slot, reinterpret_cast<std::uintptr_t>(&recordingRegOpenKeyExA));
    bool open = false;
    {
        SerialDeviceMap map;
        open = map.isOpen();
    }
    replaceImport(slot, reinterpret_cast<std::uintptr_t>(realRegOpenKeyExA));

    EXPECT_TRUE(open);
    ASSERT_EQ(opens.size(), 3u);
    const char* levels[] = {"HARDWARE", "DEVICEMAP", "SERIALCOMM"};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(opens[i].subKey, levels[i]);
        EXPECT_EQ(opens[i].access, static_cast<REGSAM>(KEY_READ)) << "an ordinary user may not have more";
    }
}

}  // namespace
