#pragma once
// Who else has a tty open, as far as /proc lets this process see: a serial
// terminal or a modem manager that opened the port first and never asked for
// it exclusively. Processes of other users are hidden from an ordinary user;
// for those, exclusive mode and the lock file are what is left.

#include <optional>
#include <string>
#include <sys/types.h>

namespace serial {

struct TtyUser {
    long pid = 0;
    std::string command;  // its name as /proc gives it, e.g. "minicom"; may be empty
};

// A process other than this one with a descriptor on the device that `fd` is
// open on; nullopt when no visible process has one.
std::optional<TtyUser> otherProcessUsing(int fd);

// The same for the character device `device` (st_rdev), when this process
// could not open it itself.
std::optional<TtyUser> otherProcessUsingDevice(dev_t device);

// The name /proc gives process `pid`; empty when it is gone or not to be seen.
std::string processCommand(long pid);

}  // namespace serial
