#pragma once
// RC-5 system addresses of the appliance classes the Device menu offers.

#include <optional>
#include <span>
#include <string_view>

namespace rc5 {

struct Device {
    std::string_view name;
    int address;
};

std::span<const Device> devices();  // TV 0, VCR 5, Sat 8, Amp 16, Tuner 17, Tape 18, CD 20

// The device name of an address, when it has one.
std::optional<std::string_view> deviceName(int address);

// An address by device name, case-insensitive.
std::optional<int> deviceAddress(std::string_view name);

}  // namespace rc5
