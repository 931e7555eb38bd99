// telvara-send --monitor: what reaches the user's terminal, a pipe or a file,
// and how it ends when the transmitter goes or nobody reads any more.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

#include "ToolProcess.h"
#include "core/KeypadLine.h"
#include "platform/serialInterface.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"
#include "tools/send/ReceiveMonitor.h"

using namespace tooltest;

namespace {

using Clock = std::chrono::steady_clock;
using Why = sender::MonitorEnd::Why;

// A transmitter on a pty presented as ttyACM0, which the test can unplug.
// For a monitor in another process it lets go of its own end of the tty.
class Transmitter {
public:
    enum class Side { InThisProcess, InAnotherProcess };

    explicit Transmitter(Side side) : pty_(std::make_unique<PseudoTerminal>()) {
        tree_.addTty("ttyACM0", "cdc_acm", pty_->slavePath());
        if (side == Side::InAnotherProcess) pty_->releaseSlave();
    }
    const std::string& root() const { return tree_.root(); }
    PseudoTerminal& pty() { return *pty_; }
    void unplug() { pty_.reset(); }

    std::unique_ptr<serialInterface> open() {
        ::setenv("TELVARA_ROOT", tree_.root().c_str(), 1);
        std::unique_ptr<serialInterface> port(openPort("ttyACM0", kKeypadBaudRate, kKeypadLineFormat));
        ::unsetenv("TELVARA_ROOT");
        return port;
    }

    // Sends and waits until all of it is waiting for the program, so that one
    // poll takes it whole.
    bool sendWhole(const std::string& bytes) { return pty_->sendAndAwaitArrival(bytes); }

private:
    SimulatedDeviceTree tree_;
    std::unique_ptr<PseudoTerminal> pty_;
};

// Reads a descriptor until `count` bytes have come or the time is up.
std::string readAtLeast(int fd, std::size_t count, std::chrono::milliseconds limit = std::chrono::seconds(5)) {
    std::string got;
    const auto deadline = Clock::now() + limit;
    while (got.size() < count && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        char buffer[512];
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
}

const std::string kFromDevice = "OK\t1\r\n\x1B]0;retitled\x07\x1B[2J\x1B[31mred\\x41 \xE2\x82\xAC\x7F\x08";
const std::string kEscaped = "OK\t1\r\n\\x1B]0;retitled\\x07\\x1B[2J\\x1B[31mred\\\\x41 \\xE2\\x82\\xAC\\x7F\\x08\n";

}  // namespace

TEST(ReceiveMonitor, ControlBytesReachATerminalEscapedAndAPipeOrAFileAsTheyAre) {
    enum class Output { Terminal, Pipe, File };
    const struct {
        const char* what;
        Output output;
        std::string shown;
    } cases[] = {
        {"terminal", Output::Terminal, kEscaped},
        {"pipe", Output::Pipe, kFromDevice + "\n"},
        {"file", Output::File, kFromDevice + "\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Transmitter transmitter(Transmitter::Side::InThisProcess);
        auto port = transmitter.open();
        ASSERT_NE(port, nullptr);

        std::unique_ptr<PseudoTerminal> terminal;  // raw: shows what is written, nothing more
        int readEnd = -1;
        std::FILE* out = nullptr;
        switch (c.output) {
            case Output::Terminal:
                terminal = std::make_unique<PseudoTerminal>();
                out = ::fdopen(::open(terminal->slavePath().c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC), "w");
                readEnd = terminal->masterFd();
                break;
            case Output::Pipe: {
                int ends[2];
                ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
                out = ::fdopen(ends[1], "w");
                readEnd = ends[0];
                break;
            }
            case Output::File: out = std::tmpfile(); break;
        }
        ASSERT_NE(out, nullptr);
        ASSERT_TRUE(transmitter.sendWhole(kFromDevice));

        volatile std::sig_atomic_t stop = 0;
        sender::MonitorEnd end{Why::Stopped};
        std::thread monitor([&] { end = sender::monitorReceivedText(*port, out, stop); });
        std::string shown = readEnd >= 0 ? readAtLeast(readEnd, c.shown.size()) : "";
        if (readEnd < 0) {
            // A file never says when it is written: its line is there once it has the length it should.
            const auto deadline = Clock::now() + std::chrono::seconds(5);
            while (std::ftell(out) < static_cast<long>(c.shown.size()) && Clock::now() < deadline)
                ::poll(nullptr, 0, 10);
        }
        transmitter.unplug();
        monitor.join();
        EXPECT_EQ(end.why, Why::PortLost) << "the monitor ends when the transmitter goes";
        if (c.output == Output::File) {
            std::rewind(out);
            char buffer[512];
            shown.assign(buffer, std::fread(buffer, 1, sizeof buffer, out));
        }
        EXPECT_EQ(shown, c.shown);
        std::fclose(out);
        if (c.output == Output::Pipe) ::close(readEnd);
    }
}

TEST(ReceiveMonitor, EndsWhenNobodyReadsTheOutputAnyMoreEvenIfTheTransmitterIsQuiet) {
    std::signal(SIGPIPE, SIG_IGN);  // as telvara-send has it while it monitors
    Transmitter transmitter(Transmitter::Side::InThisProcess);
    auto port = transmitter.open();
    ASSERT_NE(port, nullptr);
    int ends[2];
    ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    std::FILE* out = ::fdopen(ends[1], "w");
    ::close(ends[0]);
    volatile std::sig_atomic_t stop = 0;
    const auto start = Clock::now();
    EXPECT_EQ(sender::monitorReceivedText(*port, out, stop).why, Why::OutputClosed);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    std::fclose(out);
}

TEST(TelvaraSendMonitor, EndsWithAMessageAndStatus1WhenTheTransmitterGoes) {
    Transmitter transmitter(Transmitter::Side::InAnotherProcess);
    Background monitor({sendPath(), "--port", "ttyACM0", "--monitor"}, {{"TELVARA_ROOT", transmitter.root()}});
    // The monitor has the port once the transmitter's line is set up.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    while (transmitter.pty().slaveBaudRate() != kKeypadBaudRate && Clock::now() < deadline) ::poll(nullptr, 0, 10);
    ASSERT_EQ(transmitter.pty().slaveBaudRate(), kKeypadBaudRate);
    ASSERT_TRUE(transmitter.pty().send("hello\r\n"));
    ASSERT_TRUE(monitor.waitForOutput("hello"));
    transmitter.unplug();
    const Finished done = monitor.stop(0);  // signal 0 sends nothing: waits for the end
    EXPECT_EQ(done.status, 1);
    EXPECT_EQ(done.out, "hello\r\n\n");
    EXPECT_EQ(done.err, "telvara-send: port ttyACM0: the transmitter hung up or was unplugged\n");
}

TEST(TelvaraSendMonitor, EndsQuietlyWhenTheReaderOfItsOutputHasGone) {
    RunningSim sim;
    // pipefail: the pipeline's status is the monitor's own.
    const Finished done = run({"bash", "-c", "set -o pipefail; \"$0\" --port ttyACM0 --monitor | true", sendPath()},
                              sim.env(), std::chrono::seconds(10));
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.err, "");
}
