#include "platform/linux/PortRefusal.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <vector>

namespace serial {
namespace {

constexpr const char* kPermissionDenied = "permission denied";
constexpr const char* kGroupHead = ": the port belongs to group ";
constexpr const char* kGroupTail =
    ", which this login is not in; join it with 'sudo usermod -aG GROUP $USER', then log out and in again";
constexpr const char* kGroupPlaceholder = "GROUP";
constexpr const char* kNoGroupAccess = " (owner ";
constexpr const char* kGroupWord = ", group ";
constexpr const char* kModeWord = ", mode ";
constexpr const char* kUdevRuleHint = "); a udev rule can give you access: see 'telvara-send --udev-rule'";
constexpr const char* kModemManager = "ModemManager";
constexpr const char* kModemManagerHint =
    "; it probes new serial devices: keep it away from the transmitter with a udev rule that sets "
    "ENV{ID_MM_DEVICE_IGNORE}=\"1\" (see 'telvara-send --udev-rule')";
constexpr const char* kCloseItThere = "; close the port there, or end it";

std::string groupName(gid_t gid) {
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) return found->gr_name;
    return std::to_string(gid);
}

std::string userName(uid_t uid) {
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) return found->pw_name;
    return std::to_string(uid);
}

std::string octalMode(mode_t mode) {
    std::string digits;
    for (int shift = 9; shift >= 0; shift -= 3) digits += static_cast<char>('0' + ((mode >> shift) & 07));
    return digits;
}

}  // namespace

std::string permissionDeniedReason(const std::string& devicePath) {
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0) return kPermissionDenied;
    // Where the group may read and write, joining the group is the whole cure.
    if ((st.st_mode & (S_IRGRP | S_IWGRP)) == (S_IRGRP | S_IWGRP) && st.st_gid != 0) {
        const std::string group = groupName(st.st_gid);
        std::string tail = kGroupTail;
        tail.replace(tail.find(kGroupPlaceholder), std::string_view(kGroupPlaceholder).size(), group);
        return kPermissionDenied + std::string(kGroupHead) + group + tail;
    }
    return kPermissionDenied + std::string(kNoGroupAccess) + userName(st.st_uid) + kGroupWord + groupName(st.st_gid) +
           kModeWord + octalMode(st.st_mode & 07777) + kUdevRuleHint;
}

std::string holderDetail(const TtyUser& user) {
    std::string detail = "process " + std::to_string(user.pid);
    if (!user.command.empty()) detail += ", " + user.command;
    return detail;
}

std::string holderAdvice(const std::string& command) {
    return command == kModemManager ? kModemManagerHint : kCloseItThere;
}

}  // namespace serial
