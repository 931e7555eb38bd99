#include "platform/linux/PortLockFile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "platform/linux/SystemPaths.h"

namespace serial {
namespace {

constexpr const char* kLockPrefix = "/LCK..";
constexpr const char* kTemporaryPattern = "/LTMP.XXXXXX";
constexpr mode_t kLockMode = 0644;  // anyone may read who holds the port
constexpr std::size_t kMostLockBytes = 64;

// The existing lock directories, each once however many names it has.
std::vector<std::string> lockDirectories() {
    std::vector<std::string> found;
    std::vector<std::pair<dev_t, ino_t>> seen;
    for (const char* directory : kLockDirectories) {
        const std::string path = rootedPath(directory);
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) continue;
        const std::pair<dev_t, ino_t> identity{st.st_dev, st.st_ino};
        if (std::find(seen.begin(), seen.end(), identity) != seen.end()) continue;
        seen.push_back(identity);
        found.push_back(path);
    }
    return found;
}

enum class Existing { None, Stale, Live };

// Whether a lock file is there and whether its process lives. A lock that
// cannot be read or names no process counts as live: it may be one being
// written this moment, and taking a port from its owner is worse than
// refusing it.
Existing examine(const std::string& path, long& holder) {
    holder = 0;
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? Existing::None : Existing::Live;
    char text[kMostLockBytes + 1] = {};
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    const ssize_t n = regular ? ::read(fd, text, kMostLockBytes) : -1;
    ::close(fd);
    if (n <= 0 || std::sscanf(text, "%ld", &holder) != 1 || holder <= 0) {
        holder = 0;
        return Existing::Live;
    }
    // EPERM: the process exists and belongs to someone else.
    if (::kill(static_cast<pid_t>(holder), 0) == 0 || errno == EPERM) return Existing::Live;
    return Existing::Stale;
}

enum class Creation { Created, Exists, CannotWrite };

// Writes the whole lock under a temporary name first and links it into place,
// so that nobody ever reads a lock without its process ID.
Creation create(const std::string& directory, const std::string& path) {
    std::string temporary = directory + kTemporaryPattern;
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return Creation::CannotWrite;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
    const bool written = ::fchmod(fd, kLockMode) == 0 && ::write(fd, text, static_cast<std::size_t>(length)) == length;
    const bool closed = ::close(fd) == 0;
    Creation result = Creation::CannotWrite;
    if (written && closed) {
        if (::link(temporary.c_str(), path.c_str()) == 0)
            result = Creation::Created;
        else if (errno == EEXIST)
            result = Creation::Exists;
    }
    ::unlink(temporary.c_str());
    return result;
}

}  // namespace

PortLock lockPort(const std::string& ttyName) {
    const std::vector<std::string> directories = lockDirectories();
    PortLock lock;
    // Another program may keep its locks in either directory.
    for (const std::string& directory : directories) {
        const std::string path = directory + kLockPrefix + ttyName;
        long holder = 0;
        switch (examine(path, holder)) {
            case Existing::None: break;
            case Existing::Stale: ::unlink(path.c_str()); break;
            case Existing::Live: return {PortLock::State::Held, path, holder};
        }
    }
    for (const std::string& directory : directories) {
        const std::string path = directory + kLockPrefix + ttyName;
        switch (create(directory, path)) {
            case Creation::Created: return {PortLock::State::Taken, path, 0};
            case Creation::Exists: {
                // Another program took it between our look and our link.
                long holder = 0;
                examine(path, holder);
                return {PortLock::State::Held, path, holder};
            }
            case Creation::CannotWrite: break;
        }
    }
    return lock;
}

void unlockPort(const std::string& path) {
    if (path.empty()) return;
    long holder = 0;
    if (examine(path, holder) == Existing::Live && holder == static_cast<long>(::getpid())) ::unlink(path.c_str());
}

}  // namespace serial
