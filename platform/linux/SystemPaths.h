#pragma once
// Where the serial code finds the system's files (sysfs, /dev, the lock
// directory), and the names in them it looks for. All of these lie under one
// prefix, TELVARA_ROOT, empty by default: a test or the simulator sets it to
// present a device tree of its own, built from these same names. /proc is not
// prefixed: the processes are always the running system's.

#include <array>
#include <cstdlib>
#include <string>
#include <string_view>

namespace serial {

inline constexpr const char* kRootVariable = "TELVARA_ROOT";

inline constexpr const char* kDeviceDirectory = "/dev";
inline constexpr const char* kTtyClass = "/sys/class/tty";
// udev's stable names for USB serial ports, links to the ttys in /dev.
inline constexpr const char* kByIdDirectory = "/dev/serial/by-id";
// Where serial programs take their lock files; on most systems today the
// second is a link to the first.
inline constexpr std::array<const char*, 2> kLockDirectories = {"/run/lock", "/var/lock"};
// The kernel driver of USB serial ports like the transmitter's.
inline constexpr const char* kUsbSerialDriver = "cdc_acm";

// `systemPath` ("/dev", "/sys/class/tty") as this program is to find it.
inline std::string rootedPath(std::string_view systemPath) {
    const char* root = std::getenv(kRootVariable);
    return std::string(root ? root : "") + std::string(systemPath);
}

}  // namespace serial
