#include "platform/linux/UsbSerialDevice.h"

#include <dirent.h>
#include <fstream>
#include <limits.h>
#include <unistd.h>

#include "platform/linux/SystemPaths.h"
#include "platform/linux/TtyDriver.h"

namespace serial {
namespace {

constexpr std::size_t kMostAttributeBytes = 256;

bool isEntryName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

// One line of a sysfs attribute, without its newline.
std::string attribute(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    if (!in || !std::getline(in, line)) return {};
    if (line.size() > kMostAttributeBytes) line.resize(kMostAttributeBytes);
    return line;
}

// The tty a by-id link leads to. udev makes them "../../ttyACM0": the last
// part of the target, as long as the target stays within /dev.
std::optional<std::string> linkedTty(const std::string& linkPath) {
    char target[PATH_MAX];
    const ssize_t n = ::readlink(linkPath.c_str(), target, sizeof target - 1);
    if (n <= 0) return std::nullopt;
    constexpr std::string_view kUpToDev = "../../";
    const std::string link(target, static_cast<std::size_t>(n));
    if (!link.starts_with(kUpToDev)) return std::nullopt;
    const std::string tty = link.substr(kUpToDev.size());
    if (!isEntryName(tty)) return std::nullopt;
    return tty;
}

}  // namespace

UsbSerialDevice describeUsbSerialDevice(const std::string& ttyName) {
    UsbSerialDevice device;
    device.ttyName = ttyName;
    if (!isEntryName(ttyName)) return device;
    device.driver = ttyDriverName(ttyName);
    // device/.. : the link is followed first, so this is the interface's parent, the USB device.
    const std::string usbDevice = rootedPath(kTtyClass) + "/" + ttyName + "/device/../";
    device.vendorId = attribute(usbDevice + "idVendor");
    device.productId = attribute(usbDevice + "idProduct");
    device.manufacturer = attribute(usbDevice + "manufacturer");
    device.product = attribute(usbDevice + "product");
    device.serialNumber = attribute(usbDevice + "serial");

    const std::string byId = rootedPath(kByIdDirectory);
    if (DIR* dir = ::opendir(byId.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (!isEntryName(name)) continue;
            if (linkedTty(byId + "/" + name) == ttyName) {
                device.byIdName = name;
                break;
            }
        }
        ::closedir(dir);
    }
    return device;
}

std::optional<std::string> ttyOfByIdName(const std::string& byIdName) {
    if (!isEntryName(byIdName)) return std::nullopt;
    return linkedTty(rootedPath(kByIdDirectory) + "/" + byIdName);
}

}  // namespace serial
