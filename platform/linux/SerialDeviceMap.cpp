// The serial device map from sysfs: every tty under /sys/class/tty that a
// driver has bound is a serial port. Those of cdc_acm, the driver the
// transmitter uses, get the value names the Windows USB serial driver gives its
// ports (\Device\USBSER000, 001, ...); the others are listed under names that
// the USB serial filter passes over (\Device\Serial0, 1, ...). The data of each
// value is the tty's name, the port name that serialInterface opens.
//
// The map is read once, when the object is made. valueNames() lists the USB
// serial ports first, in index order, then the others, in theirs.

#include "platform/SerialDeviceMap.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <dirent.h>
#include <tuple>
#include <utility>

#include "platform/linux/SystemPaths.h"
#include "platform/linux/TtyDriver.h"

namespace {

constexpr const char* kOtherSerialValuePrefix = "\\Device\\Serial";

// Name order with runs of digits taken as numbers, so ttyACM2 comes before
// ttyACM10. Each name becomes a list of tokens, compared one by one: a total
// order, whatever the names hold.
struct NameToken {
    bool number;
    std::size_t significantDigits;  // numbers only: the longer is the larger
    std::string text;               // numbers: the digits without leading zeros
    std::string raw;

    bool operator<(const NameToken& o) const {
        return std::tie(number, significantDigits, text, raw) < std::tie(o.number, o.significantDigits, o.text, o.raw);
    }
};

std::vector<NameToken> tokensOf(const std::string& name) {
    auto isDigit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    std::vector<NameToken> tokens;
    for (std::size_t i = 0; i < name.size();) {
        std::size_t end = i;
        const bool number = isDigit(name[i]);
        while (end < name.size() && isDigit(name[end]) == number) ++end;
        std::string raw = name.substr(i, end - i);
        std::string text = raw;
        if (number) text.erase(0, std::min(text.find_first_not_of('0'), text.size() - 1));
        tokens.push_back({number, number ? text.size() : 0, text, raw});
        i = end;
    }
    return tokens;
}

void sortByName(std::vector<std::string>& names) {
    std::vector<std::pair<std::vector<NameToken>, std::string>> keyed;
    for (auto& name : names) keyed.emplace_back(tokensOf(name), std::move(name));
    std::sort(keyed.begin(), keyed.end());
    names.clear();
    for (auto& entry : keyed) names.push_back(std::move(entry.second));
}

std::string indexed(std::string_view prefix, std::size_t index, int width) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%0*zu", width, index);
    return std::string(prefix) + digits;
}

}  // namespace

struct SerialDeviceMap::Impl {
    bool open = false;
    std::vector<std::pair<std::string, std::string>> values;  // value name, port name
};

SerialDeviceMap::SerialDeviceMap() : impl_(std::make_unique<Impl>()) {
    DIR* dir = ::opendir(serial::rootedPath(serial::kTtyClass).c_str());
    if (dir == nullptr) return;
    impl_->open = true;

    std::vector<std::string> usbSerial, other;
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        std::string driver = serial::ttyDriverName(name);
        if (driver.empty()) continue;
        (driver == serial::kUsbSerialDriver ? usbSerial : other).push_back(std::move(name));
    }
    ::closedir(dir);

    sortByName(usbSerial);
    sortByName(other);
    for (std::size_t i = 0; i < usbSerial.size(); ++i)
        impl_->values.emplace_back(indexed(kUsbSerialPrefix, i, 3), usbSerial[i]);
    for (std::size_t i = 0; i < other.size(); ++i)
        impl_->values.emplace_back(indexed(kOtherSerialValuePrefix, i, 1), other[i]);
}

SerialDeviceMap::~SerialDeviceMap() = default;

bool SerialDeviceMap::isOpen() const {
    return impl_->open;
}

std::vector<std::string> SerialDeviceMap::valueNames() const {
    std::vector<std::string> names;
    names.reserve(impl_->values.size());
    for (const auto& value : impl_->values) names.push_back(value.first);
    return names;
}

bool SerialDeviceMap::readText(const std::string& valueName, std::string& text, std::string& error) const {
    for (const auto& [name, portName] : impl_->values) {
        if (name == valueName) {
            text = portName;
            return true;
        }
    }
    error = devicemap::errorText(devicemap::kErrorFailedToGetData, valueName);
    return false;
}
