#include "platform/linux/TtyDriver.h"

#include <limits.h>
#include <unistd.h>

#include "platform/linux/SystemPaths.h"

namespace serial {

std::string ttyDriverName(const std::string& ttyName) {
    if (ttyName.empty() || ttyName == "." || ttyName == ".." || ttyName.find('/') != std::string::npos ||
        ttyName.find('\0') != std::string::npos)
        return {};
    const std::string driverLink = rootedPath(kTtyClass) + "/" + ttyName + "/device/driver";
    char target[PATH_MAX];
    const ssize_t n = ::readlink(driverLink.c_str(), target, sizeof target - 1);
    if (n <= 0) return {};
    std::string link(target, static_cast<std::size_t>(n));
    while (!link.empty() && link.back() == '/') link.pop_back();
    const auto slash = link.rfind('/');
    return slash == std::string::npos ? link : link.substr(slash + 1);
}

}  // namespace serial
