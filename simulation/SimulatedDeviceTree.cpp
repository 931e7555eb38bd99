#include "simulation/SimulatedDeviceTree.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <unistd.h>

#include "platform/linux/SystemPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kDrivers = "/sys/bus/drivers";
constexpr const char* kUsbHost = "/sys/devices/pci0000:00/0000:00:14.0/usb1";
constexpr const char* kUsbDrivers = "/sys/bus/usb/drivers";

bool writeAttribute(const fs::path& path, const std::string& value) {
    std::ofstream out(path);
    out << value << '\n';
    return static_cast<bool>(out);
}

constexpr const char* kByIdKept = "#+-.:=@_";

// udev's by-id names keep letters, digits and "#+-.:=@_" and make the rest '_'.
std::string byIdPart(const std::string& text) {
    std::string part = text;
    for (char& c : part)
        if (!std::isalnum(static_cast<unsigned char>(c)) &&
            std::string_view(kByIdKept).find(c) == std::string_view::npos)
            c = '_';
    return part;
}

bool makeDirectories(const fs::path& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    return !ec;
}

}  // namespace

SimulatedDeviceTree::SimulatedDeviceTree() {
    fs::path base = fs::temp_directory_path();
    std::string pattern = (base / "telvara-root-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::system_error(errno, std::generic_category(), "mkdtemp");
    root_ = pattern;
    if (!makeDirectories(root_ + serial::kTtyClass) || !makeDirectories(root_ + serial::kDeviceDirectory) ||
        !makeDirectories(root_ + serial::kLockDirectories[0])) {
        std::error_code ec;
        fs::remove_all(root_, ec);
        throw std::system_error(std::make_error_code(std::errc::io_error), "device tree");
    }
}

SimulatedDeviceTree::~SimulatedDeviceTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);  // remove_all removes links, never what they point to
}

std::string SimulatedDeviceTree::lockDirectory() const {
    return root_ + serial::kLockDirectories[0];
}

bool SimulatedDeviceTree::addTty(const std::string& name, const std::string& driver, const std::string& devTarget) {
    if (!addTtyWithoutDriver(name) || driver.empty() || !makeDirectories(root_ + kDrivers + "/" + driver)) return false;
    fs::path device = fs::path(root_ + serial::kTtyClass) / name / "device";
    std::error_code ec;
    fs::create_directories(device, ec);
    // From sys/class/tty/NAME/device up to sys/, as a relative link like sysfs's own.
    fs::create_directory_symlink(fs::path("../../../..") / "bus/drivers" / driver, device / "driver", ec);
    if (ec) return false;
    if (!devTarget.empty()) fs::create_symlink(devTarget, fs::path(root_) / "dev" / name, ec);
    return !ec;
}

std::string SimulatedDeviceTree::byIdName(const UsbDescriptors& usb) {
    return "usb-" + byIdPart(usb.manufacturer) + "_" + byIdPart(usb.product) + "_" + byIdPart(usb.serialNumber) +
           "-if00";
}

bool SimulatedDeviceTree::addUsbTty(const std::string& name, const UsbDescriptors& usb, const std::string& devTarget) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return false;
    const std::string usbDevice = "1-" + std::to_string(++usbPorts_);
    const std::string interface = usbDevice + ":1.0";
    const fs::path deviceDir = fs::path(root_ + kUsbHost) / usbDevice;
    const fs::path ttyDir = deviceDir / interface / "tty" / name;
    if (!makeDirectories(ttyDir) || !makeDirectories(root_ + kUsbDrivers + "/" + serial::kUsbSerialDriver) ||
        !makeDirectories(root_ + serial::kByIdDirectory))
        return false;
    bool written = writeAttribute(deviceDir / "idVendor", usb.vendorId) &&
                   writeAttribute(deviceDir / "idProduct", usb.productId) &&
                   writeAttribute(deviceDir / "manufacturer", usb.manufacturer) &&
                   writeAttribute(deviceDir / "product", usb.product) &&
                   writeAttribute(deviceDir / "serial", usb.serialNumber);
    if (!written) return false;
    std::error_code ec;
    // Relative links, each the way sysfs writes it.
    fs::create_directory_symlink(fs::path("../../../../../../bus/usb/drivers") / serial::kUsbSerialDriver,
                                 deviceDir / interface / "driver", ec);
    if (!ec) fs::create_directory_symlink(fs::path("../../../") / interface, ttyDir / "device", ec);
    if (!ec)
        fs::create_directory_symlink(
            fs::path("../../devices/pci0000:00/0000:00:14.0/usb1") / usbDevice / interface / "tty" / name,
            fs::path(root_ + serial::kTtyClass) / name, ec);
    if (!ec) fs::create_symlink(fs::path("../..") / name, fs::path(root_ + serial::kByIdDirectory) / byIdName(usb), ec);
    if (!ec && !devTarget.empty()) fs::create_symlink(devTarget, fs::path(root_) / "dev" / name, ec);
    return !ec;
}

bool SimulatedDeviceTree::addTtyWithoutDriver(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return false;
    return makeDirectories(fs::path(root_ + serial::kTtyClass) / name);
}

bool SimulatedDeviceTree::removeTtyClass() {
    std::error_code ec;
    fs::remove_all(root_ + serial::kTtyClass, ec);
    return !ec;
}
