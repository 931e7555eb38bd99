#include "platform/linux/PortPath.h"

#include <filesystem>
#include <limits.h>
#include <unistd.h>

#include "platform/linux/SystemPaths.h"
#include "platform/linux/TtyDriver.h"
#include "platform/linux/UsbSerialDevice.h"

namespace serial {
namespace {

namespace fs = std::filesystem;

constexpr int kMostLinks = 8;  // an alias of an alias is plenty; a loop ends here

constexpr std::string_view kByIdInDev = "serial/by-id/";

constexpr const char* kNotAPortName =
    "not a port name: give a tty's name (ttyACM0), its path in /dev (/dev/ttyACM0) or its name in "
    "/dev/serial/by-id";
constexpr const char* kNoSuchById = "no such port (no link of that name in ";
constexpr const char* kNoSuchPort = "no such port (";
constexpr const char* kListsNoTty = " lists no tty ";
constexpr const char* kNotASerialPort = "not a serial port (no device driver is bound to ";
constexpr const char* kInTtyClass = " in ";
constexpr const char* kClose = ")";
constexpr const char* kPlugItIn = "; is the transmitter plugged in?";

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
    std::string entry = portName.starts_with(devPrefix) ? portName.substr(devPrefix.size()) : portName;
    const bool byIdPath = entry.starts_with(kByIdInDev);
    if (byIdPath) entry.erase(0, kByIdInDev.size());
    if (!isEntryName(entry)) {
        failure.reason = kNotAPortName;
        return std::nullopt;
    }
    const fs::path devDirectory = fs::path(rootedPath(kDeviceDirectory)).lexically_normal();
    // A stable name from /dev/serial/by-id stands for the tty its link leads
    // to; an entry of /dev by the same name comes first.
    std::error_code ec;
    if (byIdPath || !fs::exists(fs::symlink_status(devDirectory / entry, ec))) {
        if (const std::optional<std::string> tty = ttyOfByIdName(entry)) {
            entry = *tty;
        } else if (byIdPath) {
            failure.devicePath = rootedPath(kByIdDirectory) + "/" + entry;
            failure.reason = kNoSuchById + rootedPath(kByIdDirectory) + kClose + kPlugItIn;
            return std::nullopt;
        }
    }
    PortPath path{ttyNameOf(devDirectory, entry), (devDirectory / entry).string()};
    failure.devicePath = path.devicePath;
    if (!ttyDriverName(path.ttyName).empty()) return path;
    const std::string ttyClass = rootedPath(kTtyClass);
    if (fs::exists(fs::path(ttyClass) / path.ttyName, ec))
        failure.reason = kNotASerialPort + path.ttyName + kInTtyClass + ttyClass + kClose;
    else
        failure.reason = kNoSuchPort + ttyClass + kListsNoTty + path.ttyName + kClose + kPlugItIn;
    return std::nullopt;
}

}  // namespace serial
