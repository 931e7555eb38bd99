#include "core/Rc5Devices.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace rc5 {
namespace {

constexpr std::array<Device, 7> kDevices{{
    {"TV", 0},
    {"VCR", 5},
    {"Sat", 8},
    {"Amp", 16},
    {"Tuner", 17},
    {"Tape", 18},
    {"CD", 20},
}};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b,
                              [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
}

}  // namespace

std::span<const Device> devices() {
    return kDevices;
}

std::optional<std::string_view> deviceName(int address) {
    for (const Device& device : kDevices)
        if (device.address == address) return device.name;
    return std::nullopt;
}

std::optional<int> deviceAddress(std::string_view name) {
    for (const Device& device : kDevices)
        if (sameIgnoringCase(device.name, name)) return device.address;
    return std::nullopt;
}

}  // namespace rc5
