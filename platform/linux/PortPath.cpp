#include "platform/linux/PortPath.h"

#include <filesystem>
#include <limits.h>
#include <unistd.h>

#include "platform/linux/SystemRoot.h"
#include "platform/linux/TtyDriver.h"

namespace serial {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDeviceDirectory = "/dev";
constexpr int kMostLinks = 8;  // an alias of an alias is plenty; a loop ends here

constexpr const char* kNotAPortName =
    "not a port name: give a tty's name (ttyACM0) or its path in /dev (/dev/ttyACM0)";
constexpr const char* kNoSuchPort = "no such port (";
constexpr const char* kListsNoTty = " lists no tty ";
constexpr const char* kNotASerialPort = "not a serial port (no device driver is bound to ";
constexpr const char* kInTtyClass = " in ";
constexpr const char* kClose = ")";

// One entry of the device directory: nothing that could lead out of it.
bool isEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
           name.find('\0') == std::string_view::npos;
}

// The entry that `entry` of `devDirectory` is at the end of its links, as long
// as they stay within the device directory. sysfs writes the '/' of a device
// in a subdirectory as '!'.
std::string ttyNameOf(const fs::path& devDirectory, const std::string& entry) {
    fs::path current = devDirectory / entry;
    for (int hop = 0; hop < kMostLinks; ++hop) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
        if (n <= 0) break;
        const fs::path link(std::string(target, static_cast<std::size_t>(n)));
        const fs::path next = (link.is_absolute() ? link : current.parent_path() / link).lexically_normal();
        const fs::path inside = next.lexically_relative(devDirectory);
        if (inside.empty() || *inside.begin() == "..") break;
        current = next;
    }
    std::string name = current.lexically_relative(devDirectory).string();
    for (char& c : name)
        if (c == '/') c = '!';
    return name;
}

}  // namespace

std::optional<PortPath> resolvePortName(const std::string& portName, OpenFailure& failure) {
    failure = {};
    const std::string devPrefix = std::string(kDeviceDirectory) + "/";
    const std::string entry = portName.starts_with(devPrefix) ? portName.substr(devPrefix.size()) : portName;
    if (!isEntryName(entry)) {
        failure.reason = kNotAPortName;
        return std::nullopt;
    }
    const fs::path devDirectory = fs::path(rootedPath(kDeviceDirectory)).lexically_normal();
    PortPath path{ttyNameOf(devDirectory, entry), (devDirectory / entry).string()};
    failure.devicePath = path.devicePath;
    if (!ttyDriverName(path.ttyName).empty()) return path;
    const std::string ttyClass = rootedPath(kTtyClass);
    std::error_code ec;
    if (fs::exists(fs::path(ttyClass) / path.ttyName, ec))
        failure.reason = kNotASerialPort + path.ttyName + kInTtyClass + ttyClass + kClose;
    else
        failure.reason = kNoSuchPort + ttyClass + kListsNoTty + path.ttyName + kClose;
    return std::nullopt;
}

}  // namespace serial
