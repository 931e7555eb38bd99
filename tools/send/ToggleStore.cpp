#include "tools/send/ToggleStore.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sender {
namespace {

constexpr const char* kRuntimeVariable = "XDG_RUNTIME_DIR";
constexpr const char* kSubdirectory = "/telvara";
constexpr const char* kFallbackPrefix = "/tmp/telvara-";
constexpr const char* kFilePrefix = "/toggle-";
constexpr const char* kTempSuffix = ".XXXXXX";

constexpr const char* kCannotMake = "cannot make the state directory ";
constexpr const char* kNotPrivate = "the state directory is not a private directory of this user: ";
constexpr const char* kCannotWrite = "cannot remember the toggle bit in ";

// Port names become part of a file name: anything but a few safe characters is
// written as %XX, so that no name can reach outside the directory.
std::string fileSafe(const std::string& name) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    for (const unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-') {
            safe += static_cast<char>(c);
        } else {
            safe += '%';
            safe += kHex[c >> 4];
            safe += kHex[c & 0x0F];
        }
    }
    return safe;
}

bool isPrivateDirectory(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::optional<ToggleStore> ToggleStore::open(std::string& error) {
    const char* runtime = std::getenv(kRuntimeVariable);
    // A relative or empty XDG_RUNTIME_DIR is invalid by its own definition.
    std::string directory = runtime && runtime[0] == '/' ? std::string(runtime) + kSubdirectory
                                                         : kFallbackPrefix + std::to_string(::geteuid());
    if (::mkdir(directory.c_str(), 0700) != 0 && errno != EEXIST) {
        error = kCannotMake + directory + ": " + std::strerror(errno);
        return std::nullopt;
    }
    // In a shared /tmp somebody else may have made the name first, or put a link there.
    if (!isPrivateDirectory(directory)) {
        error = kNotPrivate + directory;
        return std::nullopt;
    }
    return ToggleStore(std::move(directory));
}

std::string ToggleStore::fileOf(const std::string& portName) const {
    return directory_ + kFilePrefix + fileSafe(portName);
}

int ToggleStore::load(const std::string& portName) const {
    // Non-blocking: a FIFO put in the file's place would otherwise hold the
    // open until someone wrote to it. Only a regular file is read at all.
    const int fd = ::open(fileOf(portName).c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 0;
    struct stat st {};
    char first = '0';
    const bool read = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::read(fd, &first, 1) == 1;
    ::close(fd);
    return read && first == '1' ? 1 : 0;
}

bool ToggleStore::save(const std::string& portName, int toggle, std::string& error) const {
    const std::string target = fileOf(portName);
    std::string temporary = target + kTempSuffix;
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = kCannotWrite + target + ": " + std::strerror(errno);
        return false;
    }
    const char text[2] = {toggle ? '1' : '0', '\n'};
    const bool written = ::write(fd, text, sizeof text) == static_cast<ssize_t>(sizeof text);
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        error = kCannotWrite + target + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace sender
