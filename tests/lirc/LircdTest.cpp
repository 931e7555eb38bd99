// The driver plugin in Debian's own lircd, end to end: irsend asks lircd, lircd
// renders the code and hands it to the plugin, the plugin writes to the
// simulated transmitter, and the simulator decodes what arrived.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <unistd.h>

#include "ToolProcess.h"
#include "core/Rc5.h"
#include "core/Rc5Devices.h"
#include "tools/send/KeyNames.h"
#include "tools/send/LircdConf.h"
#include "tools/sim/FrameReport.h"

using namespace tooltest;

namespace {

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// lircd in the foreground with all it writes in a directory of its own: an
// options file of ours (the system's is not read), the socket, the pid file;
// its log goes to standard output, where the test reads it.
std::vector<std::string> lircdArgs(const TempDir& dir, const std::string& conf,
                                   const std::vector<std::string>& options) {
    writeFile(dir.file("lirc_options.conf"), "[lircd]\n");
    writeFile(dir.file("lircd.conf"), conf);
    std::vector<std::string> args{TELVARA_LIRCD,
                                  "--options-file=" + dir.file("lirc_options.conf"),
                                  "--nodaemon",
                                  "--driver=telvara",
                                  "--plugindir=" TELVARA_LIRC_PLUGINDIR,
                                  "--output=" + dir.file("lircd.socket"),
                                  "--pidfile=" + dir.file("lircd.pid"),
                                  "--logfile=/dev/stdout",
                                  "--loglevel=debug"};
    args.insert(args.end(), options.begin(), options.end());
    args.push_back(dir.file("lircd.conf"));
    return args;
}

// A plugin built with the sanitizers needs their runtime loaded first into lircd, which has none.
Environment lircdEnv(Environment env) {
    const std::string runtime = TELVARA_SANITIZER_RUNTIME;
    if (!runtime.empty()) env["LD_PRELOAD"] = runtime;
    return env;
}

// The tests run as root in CI, and lircd warns that it runs as root: expected, and said so.
void noteRunningAsRoot(const std::string& log) {
    static bool noted = false;
    if (noted || ::geteuid() != 0) return;
    for (const auto& line : lines(log)) {
        if (line.find("Running as root") == std::string::npos) continue;
        std::cout << "note: lircd runs as root here (as in CI), and its log says so:\n  " << line << "\n";
        noted = true;
    }
}

// lircd serving in the background.
class Lircd {
public:
    Lircd(const TempDir& dir, const std::string& conf, const Environment& env, const std::vector<std::string>& options)
        : socket_(dir.file("lircd.socket")), process_(lircdArgs(dir, conf, options), lircdEnv(env)) {}

    // Waits for lircd to serve its socket.
    bool ready() {
        const bool up = process_.waitForOutput("lircd(telvara) ready");
        noteRunningAsRoot(log());
        return up;
    }
    bool waitForLog(const std::string& text) { return process_.waitForOutput(text); }
    const std::string& log() const { return process_.outSoFar(); }

    Finished irsend(const std::string& remote, const std::string& key) const {
        return run({TELVARA_IRSEND, "--device=" + socket_, "SEND_ONCE", remote, key});
    }

    // Asks for lircd's clean exit; a sanitizer's report of the plugin would be on stderr.
    void expectCleanExit() {
        const Finished ended = process_.stop(SIGUSR1);
        EXPECT_EQ(ended.status, 0) << ended.err;
    }

private:
    std::string socket_;
    Background process_;
};

// The simulator's reports of what arrived at the transmitter.
std::vector<std::string> receivedReports(const std::string& simOut) {
    std::vector<std::string> reports;
    for (const auto& line : lines(simOut))
        if (line.starts_with("frame") || line.starts_with("not a valid") || line.starts_with("unframed"))
            reports.push_back(line);
    return reports;
}

bool waitForReportCount(RunningSim& sim, std::size_t count) {
    return sim.waitForReports([count](const std::string& out) { return receivedReports(out).size() >= count; });
}

// The simulator's line for the frame the program's own encoder makes of a key press.
std::string frameReport(int toggle, int address, int command) {
    const std::string pulses = rc5::pulseString(rc5::codeWord(toggle, address, command));
    return sim::pulseStringReport({reinterpret_cast<const std::uint8_t*>(pulses.data()), pulses.size()});
}

// A keypad key as telvara-send names it: a digit, or a key name.
int commandOf(const std::string& key) {
    if (std::isdigit(static_cast<unsigned char>(key[0]))) return std::stoi(key);
    return *sender::commandOfKeyName(key);
}

constexpr const char* kTv = "TV";
constexpr const char* kTvKey1 = "KEY_1";

}  // namespace

TEST(LircdPlugin, SendsTheKeysOfTheProgramsRemoteDefinitionAsTheKeypadDoes) {
    RunningSim sim;
    TempDir dir;
    const Finished conf = run({sendPath(), "--lircd-conf"});
    ASSERT_EQ(conf.status, 0) << conf.err;
    Lircd lircd(dir, conf.out, sim.env(), {"--device=ttyACM0"});
    ASSERT_TRUE(lircd.ready()) << lircd.log();
    for (const rc5::Device& device : rc5::devices()) {
        EXPECT_NE(lircd.log().find("Using remote: " + std::string(device.name) + "."), std::string::npos)
            << device.name;
    }
    EXPECT_EQ(lircd.log().find("Error"), std::string::npos) << lircd.log();

    struct Press {
        const char* remote;
        const char* lircKey;
        const char* keypadKey;  // as telvara-send names it
    };
    const Press presses[] = {
        {"VCR", "KEY_PLAY", "play"}, {"VCR", "KEY_PLAY", "play"},      {"VCR", "KEY_PLAY", "play"},
        {"TV", "KEY_1", "1"},        {"Sat", "KEY_UP", "up"},          {"Amp", "KEY_0", "0"},
        {"Tuner", "KEY_9", "9"},     {"Tape", "KEY_RECORD", "record"}, {"CD", "KEY_STOP", "stop"},
    };
    std::optional<int> vcrPlayToggle;
    for (std::size_t i = 0; i < std::size(presses); ++i) {
        const Press& press = presses[i];
        SCOPED_TRACE(testing::Message() << "press " << i + 1 << ": " << press.remote << " " << press.lircKey);
        const Finished sent = lircd.irsend(press.remote, press.lircKey);
        ASSERT_EQ(sent.status, 0) << sent.err << lircd.log();
        ASSERT_TRUE(waitForReportCount(sim, i + 1)) << lircd.log();
        const std::string received = receivedReports(sim.outSoFar()).at(i);

        // The keypad's frame with either toggle bit: lircd keeps the toggle.
        const int address = *rc5::deviceAddress(press.remote);
        const int command = commandOf(press.keypadKey);
        const int toggle = received == frameReport(0, address, command)   ? 0
                           : received == frameReport(1, address, command) ? 1
                                                                          : -1;
        ASSERT_NE(toggle, -1) << received << "\nis not the keypad's " << press.keypadKey << " on " << press.remote
                              << ": " << frameReport(0, address, command);
        if (std::string(press.remote) == "VCR") {
            if (vcrPlayToggle) {
                EXPECT_NE(toggle, *vcrPlayToggle) << "the toggle bit did not flip";
            }
            vcrPlayToggle = toggle;
        }
    }
    lircd.expectCleanExit();
}

TEST(LircdPlugin, EveryKeyOfTheRemoteDefinitionHasAKeyNameLircKnows) {
    const Finished known = run({TELVARA_IRRECORD, "--list-namespace"});
    ASSERT_EQ(known.status, 0) << known.err;
    const auto names = lines(known.out);
    std::vector<std::string> keys;
    for (int digit = 0; digit <= 9; ++digit) keys.push_back("KEY_" + std::to_string(digit));
    for (const sender::KeyName& key : sender::keyNames()) {
        if (key.command >= 0) keys.push_back(sender::lircKeyName(key.name));
    }
    for (const std::string& key : keys) {
        EXPECT_NE(std::find(names.begin(), names.end(), key), names.end()) << key;
        EXPECT_NE(sender::lircdConf().find("\n    " + key + " "), std::string::npos) << key;
    }
}

TEST(LircdPlugin, RefusesSignalsTheTransmitterCannotReplayAndWritesNothing) {
    const std::string refused = R"(
begin remote
  name  NEC
  bits  32
  flags SPACE_ENC|CONST_LENGTH
  eps   30
  aeps  100
  header 9000 4500
  one   560 1690
  zero  560 560
  ptrail 560
  gap   108000
  begin codes
    KEY_POWER 0x20DF10EF
  end codes
end remote

begin remote
  name  RAW
  flags RAW_CODES
  eps   20
  aeps  100
  gap   100000
  begin raw_codes
    name HALF
      889 889 1334 889 889
    name SPACE_FIRST
      0 889 889
  end raw_codes
end remote

begin remote
  name  LONG_RC5
  bits  20
  flags RC5|CONST_LENGTH
  eps   30
  aeps  100
  one   889 889
  zero  889 889
  plead 889
  gap   113792
  begin codes
    KEY_1 0x80001
  end codes
end remote
)";
    struct Case {
        const char* remote;
        const char* key;
        const char* reason;  // in lircd's log
    };
    const Case cases[] = {
        {"NEC", "KEY_POWER", "telvara: cannot send NEC KEY_POWER: the mark of 9000 us"},
        {"RAW", "HALF", "telvara: cannot send RAW HALF: the mark of 1334 us"},
        {"LONG_RC5", "KEY_1", "telvara: cannot send LONG_RC5 KEY_1: the signal is longer than 27 RC-5 half-bits"},
        // lircd turns away a first mark of 0 us before the plugin sees it; the
        // plugin's own check of a leading space is in its unit table.
        {"RAW", "SPACE_FIRST", "invalid send buffer"},
    };
    RunningSim sim;
    TempDir dir;
    Lircd lircd(dir, sender::lircdConf() + refused, sim.env(), {"--device=ttyACM0"});
    ASSERT_TRUE(lircd.ready()) << lircd.log();

    // After each refused signal a key that goes through: when its frame has
    // arrived, anything the refused one had written would have arrived before it.
    std::size_t markers = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.remote << " " << c.key);
        EXPECT_NE(lircd.irsend(c.remote, c.key).status, 0);
        EXPECT_TRUE(lircd.waitForLog(c.reason)) << lircd.log();
        ASSERT_EQ(lircd.irsend(kTv, kTvKey1).status, 0) << lircd.log();
        ++markers;
        ASSERT_TRUE(waitForReportCount(sim, markers));
        const auto reports = receivedReports(sim.outSoFar());
        ASSERT_EQ(reports.size(), markers) << reports.back();
        EXPECT_TRUE(reports.back() == frameReport(0, 0, 1) || reports.back() == frameReport(1, 0, 1)) << reports.back();
    }
    lircd.expectCleanExit();
}

TEST(LircdPlugin, HoldsThePortWhileRunningAndLetsGoAtTheEnd) {
    RunningSim sim;
    TempDir dir;
    const auto sendEnv = sim.env({{"XDG_RUNTIME_DIR", dir.file("")}});
    Lircd lircd(dir, sender::lircdConf(), sim.env(), {"--device=ttyACM0", "--immediate-init"});
    ASSERT_TRUE(lircd.ready()) << lircd.log();
    EXPECT_NE(lircd.log().find("telvara: port ttyACM0 open at 2400 baud 8O1"), std::string::npos) << lircd.log();

    // Between two clients lircd deinitialises the driver; the port stays held.
    ASSERT_EQ(lircd.irsend(kTv, kTvKey1).status, 0) << lircd.log();
    const Finished meanwhile = run({sendPath(), "--port", "ttyACM0", "1"}, sendEnv);
    EXPECT_EQ(meanwhile.status, 1);
    EXPECT_NE(meanwhile.err.find("cannot open port"), std::string::npos) << meanwhile.err;
    ASSERT_EQ(lircd.irsend(kTv, kTvKey1).status, 0) << lircd.log();

    lircd.expectCleanExit();
    // The other toggle than lircd's last frame: the same frame again within a
    // frame period would be a held key, not a press of its own.
    const Finished after = run({sendPath(), "--port", "ttyACM0", "--toggle", "1", "1"}, sendEnv);
    EXPECT_EQ(after.status, 0) << after.err;
    ASSERT_TRUE(waitForReportCount(sim, 3)) << sim.outSoFar();
    const auto reports = receivedReports(sim.outSoFar());
    EXPECT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports.back(), frameReport(1, 0, 1));
}

TEST(LircdPlugin, APortItCannotHaveIsNamedInTheLogAndNothingIsSent) {
    struct Case {
        const char* what;
        std::vector<std::string> options;
        const char* reason;
    };
    const Case cases[] = {
        {"no device", {}, "telvara: no port named; give the transmitter's port with --device"},
        {"lircd's placeholder", {"--device=auto"}, "telvara: no port named"},
        {"a port that is not there", {"--device=ttyACM7"}, "telvara: cannot open port ttyACM7"},
        {"not a port name", {"--device=../ttyACM0"}, "telvara: cannot open port ../ttyACM0"},
    };
    RunningSim sim;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        Lircd lircd(dir, sender::lircdConf(), sim.env(), c.options);
        ASSERT_TRUE(lircd.ready()) << lircd.log();
        EXPECT_NE(lircd.irsend(kTv, kTvKey1).status, 0);
        EXPECT_TRUE(lircd.waitForLog(c.reason)) << lircd.log();
        lircd.expectCleanExit();
    }
    EXPECT_EQ(receivedReports(sim.stop().out), std::vector<std::string>{});
}

TEST(LircdPlugin, APortAnotherProgramHoldsIsRefusedAtStart) {
    // The simulator greets the first program that sets up the port, so the
    // monitor's "hello" shows that it holds the port.
    RunningSim sim({"--say", "hello\\r\\n"});
    TempDir dir;
    Background monitor({sendPath(), "--port", "ttyACM0", "--monitor"}, sim.env({{"XDG_RUNTIME_DIR", dir.file("")}}));
    ASSERT_TRUE(monitor.waitForOutput("hello"));

    // With --immediate-init lircd opens the port at start, and ends when it cannot.
    const Finished lircd =
        run(lircdArgs(dir, sender::lircdConf(), {"--device=ttyACM0", "--immediate-init"}), lircdEnv(sim.env()));
    noteRunningAsRoot(lircd.out);
    EXPECT_EQ(lircd.status, 1) << lircd.err;
    // The log says which program holds the port: the monitor, by its process number.
    EXPECT_NE(lircd.out.find("telvara: cannot open port ttyACM0: "), std::string::npos) << lircd.out;
    EXPECT_NE(lircd.out.find("process " + std::to_string(monitor.pid())), std::string::npos) << lircd.out;
    EXPECT_EQ(monitor.stop(SIGINT).status, 0);
    EXPECT_EQ(receivedReports(sim.stop().out), std::vector<std::string>{});
}
