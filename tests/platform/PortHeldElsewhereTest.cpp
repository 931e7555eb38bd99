// A port that another program holds gives no port, and is left as that
// program has it: its line settings, its pending input and its exclusive mode.
// The other program is a helper process on the transmitter's pty. The suite
// runs as root and, through setpriv, as an ordinary user (as-ordinary-user).

#include "platform/serialInterface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include "tests/platform/PortUnderTest.h"

namespace {

namespace fs = std::filesystem;
using Port = std::unique_ptr<serialInterface>;

// Another program: opens the tty (or not) as a serial terminal would, holds it
// until end(), and then lets it go as a well-behaved program does.
class OtherProgram {
public:
    enum class Hold { Nothing, Open, OpenExclusively };

    OtherProgram(const std::string& ttyPath, Hold hold) {
        int ready[2];
        int release[2];
        if (::pipe2(ready, O_CLOEXEC) != 0 || ::pipe2(release, O_CLOEXEC) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            // Only system calls from here: the test's own state is not ours to
            // touch, nor are its descriptors (the test's own end of the pty
            // among them) ours to hold.
            const int keep[] = {std::min(ready[1], release[0]), std::max(ready[1], release[0])};
            ::close_range(3, static_cast<unsigned>(keep[0]) - 1, 0);
            ::close_range(static_cast<unsigned>(keep[0]) + 1, static_cast<unsigned>(keep[1]) - 1, 0);
            ::close_range(static_cast<unsigned>(keep[1]) + 1, ~0U, 0);
            int fd = -1;
            if (hold != Hold::Nothing) {
                fd = ::open(ttyPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
                if (fd < 0) ::_exit(1);
                termios t{};
                ::tcgetattr(fd, &t);
                ::cfmakeraw(&t);
                ::cfsetospeed(&t, B115200);
                ::cfsetispeed(&t, B115200);
                ::tcsetattr(fd, TCSANOW, &t);
                if (hold == Hold::OpenExclusively) ::ioctl(fd, TIOCEXCL);
            }
            ::write(ready[1], "R", 1);
            char byte;
            while (::read(release[0], &byte, 1) < 0 && errno == EINTR) {}
            // A pty's slave keeps exclusive mode past the last close.
            if (hold == Hold::OpenExclusively) ::ioctl(fd, TIOCNXCL);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(release[0]);
        release_ = release[1];
        char byte = 0;
        ready_ = pid_ > 0 && ::read(ready[0], &byte, 1) == 1;
        ::close(ready[0]);
    }
    ~OtherProgram() { end(); }
    OtherProgram(const OtherProgram&) = delete;
    OtherProgram& operator=(const OtherProgram&) = delete;

    bool ready() const { return ready_; }
    pid_t pid() const { return pid_; }

    void end() {
        if (release_ >= 0) ::close(release_);
        release_ = -1;
        if (pid_ > 0) ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int release_ = -1;
    bool ready_ = false;
};

// A process ID that belonged to a process that has ended.
pid_t endedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(0);
    ::waitpid(pid, nullptr, 0);
    return pid;
}

std::string lockText(pid_t pid) {
    char text[16];
    std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(pid));
    return text;
}

std::optional<std::string> contents(const std::string& path) {
    std::ifstream in(path);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct HeldCase {
    const char* what;
    OtherProgram::Hold hold;
    enum class Lock { None, OfTheOtherProgram, OfAnEndedProcess, Unreadable, NoDirectory, ReadOnlyDirectory } lock;
    bool opens;
    std::string failure;  // the start of what the failure says after the device path
};

TEST(PortHeldElsewhere, OpensOnlyAPortNoOtherProgramHoldsAndLeavesAHeldOneAsItIs) {
    using Hold = OtherProgram::Hold;
    using Lock = HeldCase::Lock;
    const HeldCase cases[] = {
        {"nobody holds it", Hold::Nothing, Lock::None, true, ""},
        {"a terminal has it open", Hold::Open, Lock::None, false, "open in another program (process "},
        {"a program has it in exclusive mode", Hold::OpenExclusively, Lock::None, false,
         "held by another program, which has set it for its exclusive use"},
        {"a live process holds its lock file", Hold::Nothing, Lock::OfTheOtherProgram, false,
         "held by another program (lock file "},
        {"the lock file is stale", Hold::Nothing, Lock::OfAnEndedProcess, true, ""},
        {"the lock file names no process", Hold::Nothing, Lock::Unreadable, false,
         "held by another program (lock file "},
        {"there is no lock directory", Hold::Nothing, Lock::NoDirectory, true, ""},
        {"the lock directory is read-only", Hold::Nothing, Lock::ReadOnlyDirectory, true, ""},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.what);
        PortUnderTest line;
        const std::string lockFile = line.tree.lockDirectory() + "/LCK.." + kTestPortName;
        OtherProgram other(line.transmitter.slavePath(), c.hold);
        ASSERT_TRUE(other.ready());
        switch (c.lock) {
            case Lock::None: break;
            case Lock::OfTheOtherProgram: std::ofstream(lockFile) << lockText(other.pid()); break;
            case Lock::OfAnEndedProcess: std::ofstream(lockFile) << lockText(endedProcess()); break;
            case Lock::Unreadable: std::ofstream(lockFile) << "\x01\x02"; break;
            case Lock::NoDirectory: fs::remove(line.tree.lockDirectory()); break;
            case Lock::ReadOnlyDirectory: ::chmod(line.tree.lockDirectory().c_str(), 0555); break;
        }
        const std::optional<std::string> lockBefore = contents(lockFile);
        const int baudBefore = line.transmitter.slaveBaudRate();
        const bool exclusiveBefore = line.transmitter.slaveExclusive();
        ASSERT_TRUE(line.transmitter.sendAndAwaitArrival("pending"));

        serial::OpenFailure failure;
        Port port(openPort(kTestPortName, 2400, "8O1", &failure));
        EXPECT_EQ(port != nullptr, c.opens) << failure.text();
        if (port) {
            EXPECT_TRUE(line.transmitter.slaveExclusive());
            // Where the directory can be written, the lock names this process.
            if (c.lock == Lock::None || c.lock == Lock::OfAnEndedProcess || fs::exists(lockFile)) {
                EXPECT_EQ(contents(lockFile), lockText(::getpid()));
            }
            port.reset();
            EXPECT_FALSE(line.transmitter.slaveExclusive()) << "the mode it set goes with the port";
            EXPECT_FALSE(fs::exists(lockFile)) << "the lock it took goes with the port";
        } else {
            EXPECT_EQ(failure.devicePath, line.tree.root() + "/dev/" + kTestPortName);
            EXPECT_TRUE(failure.reason.starts_with(c.failure)) << failure.reason;
            if (c.hold == Hold::Open) {
                EXPECT_NE(failure.reason.find(std::to_string(other.pid())), std::string::npos) << failure.reason;
            }
            EXPECT_EQ(line.transmitter.slaveBaudRate(), baudBefore) << "its line settings stay";
            EXPECT_EQ(line.transmitter.slaveInputPending(), 7) << "its pending input stays";
            EXPECT_EQ(line.transmitter.slaveExclusive(), exclusiveBefore) << "its exclusive mode stays";
            EXPECT_EQ(contents(lockFile), lockBefore) << "its lock file stays";
            EXPECT_EQ(Port(openPort9600(kTestPortName)), nullptr);
        }
        other.end();
        ::chmod(line.tree.lockDirectory().c_str(), 0755);
    }
}

TEST(PortHeldElsewhere, APortIsFreeAgainOnceTheOtherProgramHasLetGo) {
    for (const auto hold : {OtherProgram::Hold::Open, OtherProgram::Hold::OpenExclusively}) {
        SCOPED_TRACE(hold == OtherProgram::Hold::Open ? "open" : "open exclusively");
        PortUnderTest line;
        OtherProgram other(line.transmitter.slavePath(), hold);
        ASSERT_TRUE(other.ready());
        EXPECT_EQ(Port(openPort(kTestPortName, 2400, "8O1")), nullptr);
        other.end();
        Port port(openPort(kTestPortName, 2400, "8O1"));
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(line.transmitter.send("ok"));
        char buffer[2];
        EXPECT_EQ(port->read(buffer, 2, 500), 2);
    }
}

}  // namespace
