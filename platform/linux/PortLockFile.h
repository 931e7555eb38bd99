#pragma once
// The lock file that serial programs on Linux share to keep out of each
// other's ports: LCK..NAME in /run/lock or /var/lock (under TELVARA_ROOT),
// holding the owner's process ID as ten ASCII digits and a newline. A lock
// whose process is gone is stale and is replaced. Where no lock directory
// exists or none can be written, a port goes without, as it does in the other
// programs: the lock is a courtesy between programs, not a permission.

#include <string>

namespace serial {

struct PortLock {
    enum class State {
        Taken,        // `path` is ours now
        Unavailable,  // no lock directory that can be written: go on without
        Held,         // `path` names another live process (`holder`; 0 when unreadable)
    };
    State state = State::Unavailable;
    std::string path;
    long holder = 0;
};

// Takes the lock of the tty `ttyName` for this process.
PortLock lockPort(const std::string& ttyName);

// Removes a lock file taken by lockPort, if it still names this process.
void unlockPort(const std::string& path);

}  // namespace serial
