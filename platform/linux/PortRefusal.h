#pragma once
// Why the system turned an open of a port away, said so that the user knows
// what to do about it: the group to join, or the program that has the port.

#include <string>

#include "platform/linux/TtyUsers.h"

namespace serial {

// For an open that failed with EACCES: who may use the device node at
// `devicePath` and how to become one of them.
std::string permissionDeniedReason(const std::string& devicePath);

// "process 1234, minicom": who has the port.
std::string holderDetail(const TtyUser& user);

// What to do about the program named `command` holding the port: close it
// there, or, for a modem manager, keep it away with a udev rule.
std::string holderAdvice(const std::string& command);

}  // namespace serial
