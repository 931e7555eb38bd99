// serialInterface over termios, with the behaviour the Windows build gets from
// the comm functions: an open that gives nothing while another program holds
// the port, purge of both queues, DTR and RTS off, a 500 ms limit on every
// write and a total time-out per read.
//
// Windows sizes the driver queues at open (512 bytes each way); termios has no
// such call, and the kernel's own buffers are larger, so nothing is done here.

#include "platform/serialInterface.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <optional>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include "platform/linux/PortLockFile.h"
#include "platform/linux/PortPath.h"
#include "platform/linux/PortRefusal.h"
#include "platform/linux/TtyUsers.h"
#include "platform/posix/LineSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNotATerminal = "not a terminal, so not a serial port";
constexpr const char* kHeldByLock = "held by another program (lock file ";
constexpr const char* kOfProcess = " of process ";
constexpr const char* kHeldExclusively = "held by another program, which has set it for its exclusive use";
constexpr const char* kDeviceLocked = "held by another program, which has locked the device";
constexpr const char* kOpenElsewhere = "open in another program (";
constexpr const char* kClose = ")";

int fdOf(serial::NativeHandle handle) {
    return static_cast<int>(handle);
}

int msUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

void closeQuietly(int fd) {
    // Retrying close() after EINTR is wrong on Linux: the descriptor is gone either way.
    ::close(fd);
}

// Exclusive mode belongs to the tty, not to the descriptor: while anyone else
// still has the tty open it would outlive the close and turn away the next
// open of the port, this program's own included. Every port that opened has
// set it itself (a tty that came in exclusive mode is refused), so clearing
// it here never takes it from another program.
void release(int fd) {
    ::ioctl(fd, TIOCNXCL);
    closeQuietly(fd);
}

std::string heldByLock(const serial::PortLock& lock) {
    std::string reason = kHeldByLock + lock.path;
    std::string command;
    if (lock.holder > 0) {
        command = serial::processCommand(lock.holder);
        reason += kOfProcess + std::to_string(lock.holder);
        if (!command.empty()) reason += ", " + command;
    }
    return reason + kClose + serial::holderAdvice(command);
}

std::string openElsewhere(const serial::TtyUser& user) {
    return kOpenElsewhere + serial::holderDetail(user) + kClose + serial::holderAdvice(user.command);
}

// A tty in exclusive mode turns away every open but root's, so who has it
// can only be looked for by the device number.
std::string heldExclusively(const std::string& devicePath) {
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) == 0 && S_ISCHR(st.st_mode))
        if (const std::optional<serial::TtyUser> user = serial::otherProcessUsingDevice(st.st_rdev))
            return kHeldExclusively + std::string(" (") + serial::holderDetail(*user) + kClose +
                   serial::holderAdvice(user->command);
    return kHeldExclusively;
}

std::string refusedOpen(int error, const std::string& devicePath) {
    if (error == EBUSY) return heldExclusively(devicePath);
    if (error == EACCES) return serial::permissionDeniedReason(devicePath);
    return std::strerror(error);
}

struct HeldPort {
    int fd;
    std::string lockFile;  // empty where no lock directory could be written
};

// Opens the device for this program alone, or not at all. A port that another
// program holds is given up before anything about it has changed: its line
// settings, its queues and its exclusive mode stay as that program left them.
std::optional<HeldPort> openExclusive(const std::string& portName, serial::OpenFailure& failure) {
    const std::optional<serial::PortPath> path = serial::resolvePortName(portName, failure);
    if (!path) return std::nullopt;

    const serial::PortLock lock = serial::lockPort(path->ttyName);
    if (lock.state == serial::PortLock::State::Held) {
        failure.reason = heldByLock(lock);
        return std::nullopt;
    }
    const std::string lockFile = lock.state == serial::PortLock::State::Taken ? lock.path : std::string();
    auto refuse = [&](int fd, std::string reason) -> std::optional<HeldPort> {
        if (fd >= 0) closeQuietly(fd);
        serial::unlockPort(lockFile);
        failure.reason = std::move(reason);
        return std::nullopt;
    };

    // Non-blocking, so that a modem line without carrier cannot hold up the open.
    const int fd = ::open(path->devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(-1, refusedOpen(errno, path->devicePath));

    // Only a terminal is a serial port. Anything else under /dev (a disk, memory,
    // I/O ports) must never receive pulse strings, so it is not opened as one.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !::isatty(fd)) return refuse(fd, kNotATerminal);

    // Another port of this program, root or not, runs into the advisory lock,
    // and so does a serial program that locks devices the same way.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        const std::optional<serial::TtyUser> user = serial::otherProcessUsing(fd);
        return refuse(fd, user ? kDeviceLocked + std::string(" (") + serial::holderDetail(*user) + kClose +
                                     serial::holderAdvice(user->command)
                               : std::string(kDeviceLocked));
    }

    // Exclusive mode turns away later opens, but not root's: root gets here
    // and must not take the port, nor clear the mode, from the program that set it.
    int exclusive = 0;
    if (::ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) return refuse(fd, heldExclusively(path->devicePath));
    ::ioctl(fd, TIOCEXCL);

    // A program that opened the port before us without exclusive mode (a
    // serial terminal left open) is still using it. Looked for only now that
    // exclusive mode is set, so that no ordinary program can slip in after the look.
    if (const std::optional<serial::TtyUser> user = serial::otherProcessUsing(fd)) {
        ::ioctl(fd, TIOCNXCL);
        return refuse(fd, openElsewhere(*user));
    }

    // From here on the descriptor is an ordinary blocking one, like the
    // synchronous handle it stands for; read and write bound their own waits.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return HeldPort{fd, lockFile};
}

// The setup after the open. As on Windows, a failing step does not fail the
// open: a pty, for one, refuses the modem-line calls.
serialInterface* configure(const HeldPort& held, int baudRate, serial::Parity parity) {
    const int fd = held.fd;
    // If the driver cannot report its settings, start from all-zero ones, so
    // that nothing the settings below leave alone is undefined.
    termios current{};
    if (::tcgetattr(fd, &current) != 0) current = termios{};
    termios wanted = serial::lineSettings(current, baudRate, parity);
    ::tcsetattr(fd, TCSANOW, &wanted);
    ::tcflush(fd, TCIOFLUSH);
    int dtr = TIOCM_DTR;
    int rts = TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &dtr);
    ::ioctl(fd, TIOCMBIC, &rts);
    auto* port = new (std::nothrow) serialInterface(fd, held.lockFile);
    if (port == nullptr) {
        release(fd);
        serial::unlockPort(held.lockFile);
    }
    return port;
}

serialInterface* openConfigured(const std::string& portName, int baudRate, serial::Parity parity,
                                serial::OpenFailure* failure) {
    serial::OpenFailure why;
    const std::optional<HeldPort> held = openExclusive(portName, why);
    if (!held) {
        if (failure != nullptr) *failure = std::move(why);
        return nullptr;
    }
    return configure(*held, baudRate, parity);
}

}  // namespace

serialInterface::~serialInterface() {
    release(fdOf(handle_));
    serial::unlockPort(lockFile_);
}

int serialInterface::write(const void* data, int count) {
    if (data == nullptr || count <= 0) return 0;
    const int fd = fdOf(handle_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(serial::kWriteTimeoutMs);
    const auto* bytes = static_cast<const unsigned char*>(data);

    // Non-blocking for the length of the write only: a full output queue must
    // not hold the caller past the write time-out.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0) return 0;

    int done = 0;
    while (done < count) {
        ssize_t n = ::write(fd, bytes + done, static_cast<std::size_t>(count - done));
        if (n > 0) {
            done += static_cast<int>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN) break;
        int left = msUntil(deadline);
        if (left == 0) break;
        pollfd p{fd, POLLOUT, 0};
        if (::poll(&p, 1, left) < 0 && errno != EINTR) break;
        if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) break;
    }
    ::fcntl(fd, F_SETFL, flags);
    return done;
}

int serialInterface::read(void* buffer, int count, int timeoutMs) {
    if (buffer == nullptr || count <= 0) return 0;
    const int fd = fdOf(handle_);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs > 0 ? timeoutMs : 1);
    auto* bytes = static_cast<unsigned char*>(buffer);

    int got = 0;
    while (got < count) {
        int left = msUntil(deadline);
        if (left == 0) break;
        pollfd p{fd, POLLIN, 0};
        int ready = ::poll(&p, 1, left);
        if (ready < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (ready == 0) break;
        if (!(p.revents & POLLIN)) break;  // hung up or failed: nothing more will come
        ssize_t n = ::read(fd, bytes + got, static_cast<std::size_t>(count - got));
        if (n > 0) {
            got += static_cast<int>(n);
        } else if (n == 0 || (errno != EINTR && errno != EAGAIN)) {
            break;  // end of file on a tty means the device is gone
        }
    }
    // Bytes already taken from the port are returned even if the port then
    // failed: answering 0 would lose them.
    return got;
}

serialInterface* openPort(const std::string& portName, int baudRate, const std::string& lineFormat,
                          serial::OpenFailure* failure) {
    return openConfigured(portName, baudRate, serial::parityOfLineFormat(lineFormat), failure);
}

serialInterface* openPort9600(const std::string& portName, serial::OpenFailure* failure) {
    return openConfigured(portName, serial::kBootloaderBaudRate, serial::Parity::None, failure);
}
