#include "platform/linux/SimulatedDeviceTree.h"

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kTtyClass = "/sys/class/tty";
constexpr const char* kDrivers = "/sys/bus/drivers";
constexpr const char* kLockDirectory = "/run/lock";

bool makeDirectories(const fs::path& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    return !ec;
}

}  // namespace

SimulatedDeviceTree::SimulatedDeviceTree() {
    fs::path base = fs::temp_directory_path();
    std::string pattern = (base / "telvara-root-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::system_error(errno, std::generic_category(), "mkdtemp");
    root_ = pattern;
    if (!makeDirectories(root_ + kTtyClass) || !makeDirectories(root_ + "/dev") ||
        !makeDirectories(root_ + kLockDirectory)) {
        std::error_code ec;
        fs::remove_all(root_, ec);
        throw std::system_error(std::make_error_code(std::errc::io_error), "device tree");
    }
}

SimulatedDeviceTree::~SimulatedDeviceTree() {
    std::error_code ec;
    fs::remove_all(root_, ec);  // remove_all removes links, never what they point to
}

std::string SimulatedDeviceTree::lockDirectory() const { return root_ + kLockDirectory; }

bool SimulatedDeviceTree::addTty(const std::string& name, const std::string& driver, const std::string& devTarget) {
    if (!addTtyWithoutDriver(name) || driver.empty() || !makeDirectories(root_ + kDrivers + "/" + driver))
        return false;
    fs::path device = fs::path(root_ + kTtyClass) / name / "device";
    std::error_code ec;
    fs::create_directories(device, ec);
    // From sys/class/tty/NAME/device up to sys/, as a relative link like sysfs's own.
    fs::create_directory_symlink(fs::path("../../../..") / "bus/drivers" / driver, device / "driver", ec);
    if (ec) return false;
    if (!devTarget.empty()) fs::create_symlink(devTarget, fs::path(root_) / "dev" / name, ec);
    return !ec;
}

bool SimulatedDeviceTree::addTtyWithoutDriver(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") return false;
    return makeDirectories(fs::path(root_ + kTtyClass) / name);
}

bool SimulatedDeviceTree::removeTtyClass() {
    std::error_code ec;
    fs::remove_all(root_ + kTtyClass, ec);
    return !ec;
}
