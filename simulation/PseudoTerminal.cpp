#include "simulation/PseudoTerminal.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <system_error>
#include <unistd.h>

#include "platform/posix/LineSettings.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSendPatienceMs = 1000;  // how long send() waits for a full pty buffer to drain
// While no one has the slave open, the master reports a hang-up and nothing
// marks the moment a program opens it; a wait looks again this often.
constexpr int kUnopenedSlaveLookMs = 10;

int msUntil(Clock::time_point deadline) {
    auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Waits for `events` on fd; false on time-out or when the descriptor failed.
bool waitFor(int fd, short events, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        pollfd p{fd, events, 0};
        int r = ::poll(&p, 1, msUntil(deadline));
        if (r > 0 && (p.revents & events) != 0) return true;
        if (r > 0 && (p.revents & POLLHUP) != 0 && (p.revents & (POLLERR | POLLNVAL)) == 0) {
            // The master of a slave that nobody has open: nothing to take yet.
            const int left = msUntil(deadline);
            if (left == 0) return false;
            ::poll(nullptr, 0, std::min(left, kUnopenedSlaveLookMs));
            continue;
        }
        if (r >= 0 || errno != EINTR) return false;
    }
}

// The slave opened for a moment, for a look that only a slave descriptor gives.
class SlaveLook {
public:
    explicit SlaveLook(const std::string& path)
        : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {}
    ~SlaveLook() {
        if (fd_ >= 0) ::close(fd_);
    }
    SlaveLook(const SlaveLook&) = delete;
    SlaveLook& operator=(const SlaveLook&) = delete;
    int fd() const { return fd_; }

private:
    int fd_;
};

[[noreturn]] void fail(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

PseudoTerminal::PseudoTerminal() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0) fail("posix_openpt");
    // Both sides non-blocking: waits here are always bounded by a poll.
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    char name[128];
    if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0 || ::ptsname_r(master_, name, sizeof name) != 0) {
        int saved = errno;
        ::close(master_);
        errno = saved;
        fail("pseudo-terminal slave");
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0) {
        int saved = errno;
        ::close(master_);
        errno = saved;
        fail(name);
    }
    termios t{};
    if (::tcgetattr(slave_, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        ::tcsetattr(slave_, TCSANOW, &t);
    }
}

PseudoTerminal::~PseudoTerminal() {
    releaseSlave();
    hangUp();
}

void PseudoTerminal::hangUp() {
    if (master_ < 0) return;
    ::close(master_);
    master_ = -1;
}

void PseudoTerminal::releaseSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
}

bool PseudoTerminal::send(const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN) {
            if (!waitFor(master_, POLLOUT, kSendPatienceMs)) return false;
        } else {
            return false;
        }
    }
    return true;
}

bool PseudoTerminal::send(std::string_view text) {
    return send(std::vector<std::uint8_t>(text.begin(), text.end()));
}

bool PseudoTerminal::sendAndAwaitArrival(std::string_view text, int timeoutMs) {
    const int expected = slaveInputPending() + static_cast<int>(text.size());
    if (!send(text)) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (slaveInputPending() < expected && Clock::now() < deadline) ::poll(nullptr, 0, 5);
    return slaveInputPending() == expected;
}

std::vector<std::uint8_t> PseudoTerminal::receive(std::size_t max, int timeoutMs) {
    std::vector<std::uint8_t> out(max);
    if (max == 0 || !waitFor(master_, POLLIN, timeoutMs < 0 ? 0 : timeoutMs)) return {};
    for (;;) {
        ssize_t n = ::read(master_, out.data(), max);
        if (n > 0) {
            out.resize(static_cast<std::size_t>(n));
            return out;
        }
        // EIO: no slave is open at this moment, which only means nothing to take.
        if (n < 0 && errno == EINTR) continue;
        return {};
    }
}

std::vector<std::uint8_t> PseudoTerminal::receiveExactly(std::size_t count, int timeoutMs) {
    std::vector<std::uint8_t> out;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
    while (out.size() < count) {
        auto part = receive(count - out.size(), msUntil(deadline));
        if (part.empty()) {
            if (Clock::now() >= deadline) break;
            continue;
        }
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

std::vector<std::uint8_t> PseudoTerminal::drain(int quietMs) {
    std::vector<std::uint8_t> out;
    for (;;) {
        auto part = receive(4096, quietMs);
        if (part.empty()) return out;
        out.insert(out.end(), part.begin(), part.end());
    }
}

bool PseudoTerminal::slaveSettings(termios& settings) const {
    return ::tcgetattr(master_, &settings) == 0;
}

bool PseudoTerminal::setSlaveSettings(const termios& settings) {
    return ::tcsetattr(master_, TCSANOW, &settings) == 0;
}

int PseudoTerminal::slaveBaudRate() const {
    termios t{};
    return slaveSettings(t) ? serial::baudRateOfSpeed(::cfgetospeed(&t)) : 0;
}

bool PseudoTerminal::slaveParityOdd() const {
    termios t{};
    return slaveSettings(t) && (t.c_cflag & PARODD) != 0;
}

bool PseudoTerminal::slaveTwoStopBits() const {
    termios t{};
    return slaveSettings(t) && (t.c_cflag & CSTOPB) != 0;
}

bool PseudoTerminal::slaveExclusive() const {
    int exclusive = 0;
    if (slave_ >= 0) return ::ioctl(slave_, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
    const SlaveLook look(slavePath_);
    if (look.fd() < 0) return errno == EBUSY;  // what exclusive mode tells anyone but root
    return ::ioctl(look.fd(), TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

int PseudoTerminal::slaveInputPending() const {
    int n = 0;
    if (slave_ >= 0) return ::ioctl(slave_, FIONREAD, &n) == 0 ? n : 0;
    const SlaveLook look(slavePath_);
    return look.fd() >= 0 && ::ioctl(look.fd(), FIONREAD, &n) == 0 ? n : 0;
}

int PseudoTerminal::masterInputPending() const {
    int n = 0;
    return ::ioctl(master_, FIONREAD, &n) == 0 ? n : 0;
}
