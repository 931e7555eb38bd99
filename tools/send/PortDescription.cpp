#include "tools/send/PortDescription.h"

#include <cstdint>
#include <optional>
#include <span>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/PortRefusal.h"
#include "platform/linux/SystemPaths.h"
#include "platform/linux/TtyUsers.h"
#include "platform/linux/UsbSerialDevice.h"
#include "tools/common/ByteEscapes.h"

namespace sender {
namespace {

constexpr const char* kUnknown = "-";
constexpr const char* kYes = "yes";
constexpr const char* kNo = "no";

// A descriptor string comes from the device: quoted, with anything
// unprintable (and the quote itself) escaped, so one port stays one line.
std::string escaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '"') {
            escaped += "\\x22";
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(c);
        escaped += tools::escapeBytes(std::span<const std::uint8_t>(&byte, 1));
    }
    return escaped;
}

std::string quoted(const std::string& text) {
    return text.empty() ? kUnknown : "\"" + escaped(text) + "\"";
}

std::string orUnknown(const std::string& text) {
    return text.empty() ? kUnknown : escaped(text);
}

}  // namespace

std::string portDescriptionLine(const std::string& ttyName) {
    const serial::UsbSerialDevice device = serial::describeUsbSerialDevice(ttyName);
    const std::string devicePath = serial::rootedPath(serial::kDeviceDirectory) + "/" + ttyName;
    std::string line = orUnknown(ttyName);
    line += " driver=" + orUnknown(device.driver);
    line += " usb=" + (device.vendorId.empty() ? std::string(kUnknown)
                                               : orUnknown(device.vendorId) + ":" + orUnknown(device.productId));
    line += " manufacturer=" + quoted(device.manufacturer);
    line += " product=" + quoted(device.product);
    line += " serial=" + quoted(device.serialNumber);
    line += " by-id=" + orUnknown(device.byIdName);
    // The check the kernel makes at open: the real user and groups, for reading and writing.
    line += std::string(" access=") + (::access(devicePath.c_str(), R_OK | W_OK) == 0 ? kYes : kNo);
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) == 0 && S_ISCHR(st.st_mode))
        if (const std::optional<serial::TtyUser> user = serial::otherProcessUsingDevice(st.st_rdev))
            line += " held-by=" + quoted(serial::holderDetail(*user));
    return line;
}

}  // namespace sender
