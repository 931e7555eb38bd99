// serialInterface over termios, with the behaviour the Windows build gets from
// the comm functions: exclusive open of the port, purge of both queues, DTR
// and RTS off, a 500 ms limit on every write and a total time-out per read.
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

#include "platform/linux/PortPath.h"
#include "platform/posix/LineSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kNotATerminal = "not a terminal, so not a serial port";
constexpr const char* kHeldExclusively = "held by another program, which has set it for its exclusive use";
constexpr const char* kDeviceLocked = "held by another program, which has locked the device";

int fdOf(serial::NativeHandle handle) { return static_cast<int>(handle); }

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
// open of the port, this program's own included.
void release(int fd) {
    ::ioctl(fd, TIOCNXCL);
    closeQuietly(fd);
}

struct HeldPort {
    int fd;
};

// Opens and locks the device; nullopt, with `failure` saying why, when the
// name is no serial port or the device is absent, held, or not a terminal.
std::optional<HeldPort> openExclusive(const std::string& portName, serial::OpenFailure& failure) {
    const std::optional<serial::PortPath> path = serial::resolvePortName(portName, failure);
    if (!path) return std::nullopt;
    auto refuse = [&](int fd, std::string reason) -> std::optional<HeldPort> {
        if (fd >= 0) closeQuietly(fd);
        failure.reason = std::move(reason);
        return std::nullopt;
    };

    // Non-blocking, so that a modem line without carrier cannot hold up the open.
    const int fd = ::open(path->devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return refuse(-1, errno == EBUSY ? kHeldExclusively : std::strerror(errno));

    // Only a terminal is a serial port. Anything else under /dev (a disk, memory,
    // I/O ports) must never receive pulse strings, so it is not opened as one.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode) || !::isatty(fd)) return refuse(fd, kNotATerminal);

    // TIOCEXCL turns away later opens, but not root's; the advisory lock is what
    // another instance of this program (root or not) runs into.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) return refuse(fd, kDeviceLocked);
    ::ioctl(fd, TIOCEXCL);

    // From here on the descriptor is an ordinary blocking one, like the
    // synchronous handle it stands for; read and write bound their own waits.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return HeldPort{fd};
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
    auto* port = new (std::nothrow) serialInterface(fd);
    if (port == nullptr) release(fd);
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

serialInterface::~serialInterface() { release(fdOf(handle_)); }

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
