#include "platform/linux/TtyUsers.h"

#include <cctype>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace serial {
namespace {

constexpr const char* kProc = "/proc";
constexpr std::string_view kDevicePrefix = "/dev/";
constexpr std::size_t kMostCommandBytes = 64;

bool isNumber(const char* name) {
    if (*name == '\0') return false;
    for (; *name != '\0'; ++name)
        if (!std::isdigit(static_cast<unsigned char>(*name))) return false;
    return true;
}

// Whether one of the descriptors in `fdDirectory` is open on the device `device`.
// Only descriptors whose link names something in /dev are looked at: stat()
// on another process's socket or file on a network or FUSE mount could stall.
bool holds(int fdDirectory, dev_t device) {
    DIR* fds = ::fdopendir(fdDirectory);
    if (fds == nullptr) {
        ::close(fdDirectory);
        return false;
    }
    bool found = false;
    while (const dirent* entry = ::readdir(fds)) {
        if (!isNumber(entry->d_name)) continue;
        char target[PATH_MAX];
        const ssize_t n = ::readlinkat(::dirfd(fds), entry->d_name, target, sizeof target - 1);
        if (n <= 0 || !std::string_view(target, static_cast<std::size_t>(n)).starts_with(kDevicePrefix)) continue;
        struct stat st {};
        if (::fstatat(::dirfd(fds), entry->d_name, &st, 0) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == device) {
            found = true;
            break;
        }
    }
    ::closedir(fds);
    return found;
}

std::string commandIn(const std::string& processDirectory) {
    const int fd = ::open((processDirectory + "/comm").c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char text[kMostCommandBytes];
    const ssize_t n = ::read(fd, text, sizeof text);
    ::close(fd);
    std::string command(text, n > 0 ? static_cast<std::size_t>(n) : 0);
    while (!command.empty() && command.back() == '\n') command.pop_back();
    return command;
}

}  // namespace

std::optional<TtyUser> otherProcessUsing(int fd) {
    struct stat own {};
    if (::fstat(fd, &own) != 0 || !S_ISCHR(own.st_mode)) return std::nullopt;
    return otherProcessUsingDevice(own.st_rdev);
}

std::string processCommand(long pid) {
    return pid > 0 ? commandIn(std::string(kProc) + "/" + std::to_string(pid)) : std::string();
}

std::optional<TtyUser> otherProcessUsingDevice(dev_t device) {
    DIR* proc = ::opendir(kProc);
    if (proc == nullptr) return std::nullopt;
    const long self = static_cast<long>(::getpid());
    std::optional<TtyUser> user;
    while (const dirent* entry = ::readdir(proc)) {
        if (!isNumber(entry->d_name)) continue;
        const long pid = std::strtol(entry->d_name, nullptr, 10);
        if (pid == self) continue;
        const std::string processDirectory = std::string(kProc) + "/" + entry->d_name;
        // Not ours to see (another user's process), or gone meanwhile.
        const int fdDirectory = ::open((processDirectory + "/fd").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdDirectory < 0) continue;
        if (holds(fdDirectory, device)) {
            user = TtyUser{pid, commandIn(processDirectory)};
            break;
        }
    }
    ::closedir(proc);
    return user;
}

}  // namespace serial
