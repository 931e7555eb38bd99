#pragma once
// The system files the serial code reads and writes (sysfs, /dev, the lock
// directory) all lie under one prefix, TELVARA_ROOT, empty by default: a test
// or the simulator sets it to present a device tree of its own. /proc is not
// prefixed: the processes are always the running system's.

#include <cstdlib>
#include <string>
#include <string_view>

namespace serial {

inline constexpr const char* kRootVariable = "TELVARA_ROOT";

// `systemPath` ("/dev", "/sys/class/tty") as this program is to find it.
inline std::string rootedPath(std::string_view systemPath) {
    const char* root = std::getenv(kRootVariable);
    return std::string(root ? root : "") + std::string(systemPath);
}

}  // namespace serial
