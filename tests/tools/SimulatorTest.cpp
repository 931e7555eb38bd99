// The simulated transmitter seen from the program's side of the port.

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>

#include "ToolProcess.h"
#include "core/KeypadLine.h"
#include "platform/serialInterface.h"

using namespace tooltest;

namespace {

// The test plays the program: opens the simulated port by name, as the Port menu does.
class ProgramSide {
public:
    explicit ProgramSide(const RunningSim& sim, bool bootloaderLine = false) {
        ::setenv("TELVARA_ROOT", sim.root().c_str(), 1);
        port_.reset(bootloaderLine ? openPort9600("ttyACM0") : openPort("ttyACM0", kKeypadBaudRate, kKeypadLineFormat));
        ::unsetenv("TELVARA_ROOT");
    }
    bool isOpen() const { return port_ != nullptr; }
    void write(const std::string& bytes) {
        ASSERT_EQ(port_->write(bytes.data(), static_cast<int>(bytes.size())), static_cast<int>(bytes.size()));
    }
    std::string read(int count, int timeoutMs) {
        std::string buffer(static_cast<std::size_t>(count), '\0');
        buffer.resize(static_cast<std::size_t>(port_->read(buffer.data(), count, timeoutMs)));
        return buffer;
    }

private:
    std::unique_ptr<serialInterface> port_;
};

}  // namespace

TEST(TelvaraSim, ReportsEveryPieceInOrderAndWhatIsNotAFrameWithItsBytesEscaped) {
    RunningSim sim;
    ProgramSide program(sim);
    ASSERT_TRUE(program.isOpen());
    // Separate writes may arrive merged and must still be told apart.
    program.write("*BbB~*");
    program.write("*BbDbBbBbBbBbBbBbBbBbBbBdB~*hello\r\n\x01");
    program.write(std::string("*BbDb\0", 6));
    const auto reports = lines(sim.stop().out);
    const std::vector<std::string> expected{
        "not a valid pulse string (does not hold exactly 14 bits): *BbB~*",
        "frame 0x0001 toggle 0 address 0 (TV) command 1: *BbDbBbBbBbBbBbBbBbBbBbBdB~*",
        "unframed bytes (bytes outside any pulse string or STK500v2 message): hello\\r\\n\\x01",
        "not a valid pulse string (does not end with \"~*\"): *BbDb\\0",
    };
    ASSERT_GE(reports.size(), 2 + expected.size());
    EXPECT_EQ(std::vector<std::string>(reports.begin() + 2, reports.end()), expected);
}

TEST(TelvaraSim, ReportsLineSettingsThatDoNotFitTheTraffic) {
    RunningSim sim;
    {
        ProgramSide program(sim, /*bootloaderLine=*/true);
        program.write("*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
        // Judged before the port is set up anew below.
        ASSERT_TRUE(sim.waitForReport("wrong line settings"));
    }
    {
        ProgramSide program(sim);
        program.write("*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
        // A sign-on at 2400 8O1 instead of 9600 8N1.
        program.write(std::string("\x1B\x01\x00\x01\x0E\x01\x14", 7));
        program.read(32, 600);
    }
    const auto reports = lines(sim.stop().out);
    ASSERT_GE(reports.size(), 7u);
    EXPECT_EQ(reports[3], "wrong line settings for a pulse string: 9600 baud, no odd parity; expected 2400 8O1");
    EXPECT_TRUE(reports[4].starts_with("frame 0x0001")) << reports[4];
    EXPECT_EQ(reports[5], "wrong line settings for an STK500v2 message: 2400 baud, odd parity; expected 9600 8N1");
    EXPECT_EQ(reports[6], "stk500v2 sign-on (sequence 1): answered STATUS_CMD_OK");
}

TEST(TelvaraSim, AcknowledgesEachValidFrameWithTheGivenText) {
    RunningSim sim({"--ack", "OK\\r\\n"});
    ProgramSide program(sim);
    program.write("*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
    EXPECT_EQ(program.read(4, 2000), "OK\r\n");
    program.write("*BbB~*");
    EXPECT_EQ(program.read(4, 500), "");
    sim.stop();
}

TEST(TelvaraSim, AnswersTheSignOnWithItsSequenceNumberAStatusAndASignature) {
    RunningSim sim;
    ProgramSide program(sim, /*bootloaderLine=*/true);
    program.write(std::string("\x1B\x2A\x00\x01\x0E\x01", 6));
    program.write(std::string(1, static_cast<char>(0x1B ^ 0x2A ^ 0x01 ^ 0x0E ^ 0x01)));
    const std::string answer = program.read(5 + 11 + 1, 2000);
    ASSERT_EQ(answer.size(), 17u);
    EXPECT_EQ(answer.substr(0, 5), std::string("\x1B\x2A\x00\x0B\x0E", 5));
    EXPECT_EQ(answer.substr(5, 11), std::string("\x01\x00\x08STK500_2", 11));
    char sum = 0;
    for (std::size_t i = 0; i + 1 < answer.size(); ++i) sum = static_cast<char>(sum ^ answer[i]);
    EXPECT_EQ(answer.back(), sum);
    // A wrong access code is refused with STATUS_CMD_FAILED.
    const std::string upgrade = std::string("\x1B\x2B\x00\x06\x0E\x07wrong", 11);
    char upgradeSum = 0;
    for (const char c : upgrade) upgradeSum = static_cast<char>(upgradeSum ^ c);
    program.write(upgrade + upgradeSum);
    const std::string refusal = program.read(5 + 2 + 1, 2000);
    ASSERT_EQ(refusal.size(), 8u);
    EXPECT_EQ(refusal.substr(5, 2), "\x07\xC0");
    sim.stop();
}

TEST(TelvaraSim, SaysItsTextOnceTheProgramHasSetUpThePortAndTheMonitorShowsIt) {
    struct Case {
        std::string say;
        std::string shown;
    };
    const std::vector<Case> cases{
        {"A\\0B", "A\n"},
        {"one\\r\\ntwo", "one\r\ntwo\n"},
    };
    for (const Case& c : cases) {
        RunningSim sim({"--say", c.say});
        Background monitor({sendPath(), "--port", "ttyACM0", "--monitor"}, sim.env());
        EXPECT_TRUE(monitor.waitForOutput("\n", std::chrono::seconds(5))) << c.say;
        const Finished done = monitor.stop(SIGINT);
        EXPECT_EQ(done.status, 0);
        EXPECT_EQ(done.out, c.shown);
        sim.stop();
    }
}

TEST(TelvaraSim, ThreeHundredBytesAtOnceReachTheMonitorIn128ByteLines) {
    RunningSim sim({"--say", std::string(300, 'x')});
    Background monitor({sendPath(), "--monitor"}, sim.env());
    monitor.waitUntil([](const std::string& out) { return std::ranges::count(out, 'x') == 300; },
                      std::chrono::seconds(5));
    const Finished done = monitor.stop(SIGINT);
    std::string all;
    for (const auto& line : lines(done.out)) {
        EXPECT_LE(line.size(), 128u);
        all += line;
    }
    EXPECT_EQ(all, std::string(300, 'x'));
    sim.stop();
}

TEST(TelvaraSim, ShortHelpIsHelpAndVersionNamesTheProgram) {
    const Finished help = run({simPath(), "--help"});
    const Finished shortHelp = run({simPath(), "-h"});
    EXPECT_EQ(shortHelp.status, 0);
    EXPECT_NE(help.out.find("Answer modes:"), std::string::npos) << help.out;
    EXPECT_EQ(shortHelp.out, help.out);
    EXPECT_EQ(run({simPath(), "--version"}).out, "telvara-sim 1.0.0.3\n");
}

TEST(TelvaraSim, WithoutACommandPrintsTheEnvironmentAndStopsOnInterrupt) {
    RunningSim sim;
    EXPECT_TRUE(sim.root().starts_with("/"));
    const Finished done = sim.stop();
    EXPECT_EQ(done.status, 0);
    EXPECT_NE(done.out.find("# the simulated transmitter is port ttyACM0 (/dev/pts/"), std::string::npos) << done.out;
}

TEST(TelvaraSim, SatisfiesAnIndependentStk500v2Host) {
    if (std::system("command -v avrdude >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "avrdude is not installed (scripts/install-deps installs it)";
    const Finished done = run(
        {simPath(), "--", "sh", "-c", "avrdude -c stk500v2 -P \"$TELVARA_ROOT/dev/ttyACM0\" -b 9600 -p m328p 2>&1"});
    EXPECT_EQ(done.status, 0) << done.out;
    EXPECT_NE(done.out.find("stk500v2 sign-on (sequence 1): answered STATUS_CMD_OK"), std::string::npos) << done.out;
    EXPECT_NE(done.out.find("AVR device initialized"), std::string::npos) << done.out;
    EXPECT_EQ(done.out.find("getsync"), std::string::npos) << done.out;
}
