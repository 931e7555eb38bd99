// telvara-send end to end, against the simulated transmitter.

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>

#include "ToolProcess.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"

using namespace tooltest;

namespace {

const std::string kKey1 = "0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*";
const std::string kKey1Toggled = "0x0801 -> *BbBbDbBbBbBbBbBbBbBbBbBdB~*";
const std::string kVcrPlay = "0x0175 -> *BbDbBbBdDdBbBbDdDdB~*";
const std::string kVcrOk = "0x013F -> *BbDbBbBdDbBdBbBbBbBbBbB~*";

// The report lines of the simulator that are about received bytes.
std::vector<std::string> receivedReports(const std::string& simOut) {
    std::vector<std::string> reports;
    for (const auto& line : lines(simOut))
        if (line.starts_with("frame") || line.starts_with("not a valid") || line.starts_with("unframed") ||
            line.starts_with("stk500v2") || line.starts_with("wrong line"))
            reports.push_back(line);
    return reports;
}

}  // namespace

TEST(TelvaraSend, PrintsTheDebugLinesWithTheToggleFlippingAfterEachCommand) {
    const Finished done = run(sendArgs({"--print", "1", "1", "1"}));
    EXPECT_EQ(done.status, 0);
    EXPECT_EQ(done.out, kKey1 + "\n" + kKey1Toggled + "\n" + kKey1 + "\n");

    const Finished named = run(sendArgs({"--print", "--device", "vcr", "play", "OK", "--toggle", "1", "-1"}));
    EXPECT_EQ(named.status, 0);
    EXPECT_EQ(lines(named.out), (std::vector<std::string>{"0x0975 -> *BbBbDbBdDdBbBbDdDdB~*", kVcrOk,
                                                          "0x093F -> *BbBbDbBdDbBdBbBbBbBbBbB~*"}));
}

TEST(TelvaraSend, SendsOnePulseStringPerCommandThatTheTransmitterDecodes) {
    TempDir state;
    RunningSim sim({"--timeline"});
    const Finished done = run(sendArgs({"--port", "ttyACM0", "--device", "VCR", "play", "ok"}),
                              sim.env({{"XDG_RUNTIME_DIR", state.path()}}));
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(lines(done.out), (std::vector<std::string>{kVcrPlay, "0x093F -> *BbBbDbBdDbBdBbBbBbBbBbB~*"}));

    const std::string report = sim.stop().out;
    EXPECT_EQ(receivedReports(report),
              (std::vector<std::string>{"frame 0x0175 toggle 0 address 5 (VCR) command 53: *BbDbBbBdDdBbBbDdDdB~*",
                                        "frame 0x093F toggle 1 address 4 command 63: *BbBbDbBdDbBdBbBbBbBbBbB~*"}));
    EXPECT_NE(report.find("  ir: +889 -889 +1778 -889 +889 -889 +889 -1778 +1778 -1778"), std::string::npos) << report;
}

TEST(TelvaraSend, WithoutAPortUsesTheOnlyUsbSerialPortListed) {
    TempDir state;
    RunningSim sim;
    const Finished listed = run(sendArgs({"--list"}), sim.env());
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "ttyACM0\n");

    const Finished done = run(sendArgs({"1"}), sim.env({{"XDG_RUNTIME_DIR", state.path()}}));
    EXPECT_EQ(done.status, 0) << done.err;
    EXPECT_EQ(done.out, kKey1 + "\n");
    EXPECT_EQ(receivedReports(sim.stop().out).size(), 1u);
}

TEST(TelvaraSend, TheToggleCarriesOverFromRunToRunOnTheSamePort) {
    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    const auto key1 = sendArgs({"--port", "ttyACM0", "1"});
    EXPECT_EQ(run(key1, env).out, kKey1 + "\n");
    EXPECT_EQ(run(key1, env).out, kKey1Toggled + "\n");
    EXPECT_EQ(run(key1, env).out, kKey1 + "\n");
    // --toggle sets the start; the run after it goes on from there.
    EXPECT_EQ(run(sendArgs({"--port", "ttyACM0", "--toggle", "1", "1"}), env).out, kKey1Toggled + "\n");
    EXPECT_EQ(run(key1, env).out, kKey1 + "\n");
    // --print leaves the remembered toggle alone.
    EXPECT_EQ(run(sendArgs({"--print", "1"}), env).out, kKey1 + "\n");
    EXPECT_EQ(run(key1, env).out, kKey1Toggled + "\n");

    const auto reports = receivedReports(sim.stop().out);
    ASSERT_EQ(reports.size(), 6u);
    EXPECT_TRUE(reports[0].starts_with("frame 0x0001 toggle 0"));
    EXPECT_TRUE(reports[1].starts_with("frame 0x0801 toggle 1"));
}

TEST(TelvaraSend, BadInputIsAUsageErrorAndPutsNothingOnTheWire) {
    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    const std::vector<std::vector<std::string>> cases{
        {"--port", "ttyACM0", "64"},
        {"--port", "ttyACM0", "-2"},
        {"--port", "ttyACM0", "1", "fastforward"},
        {"--port", "ttyACM0", "99999999999999999999"},
        {"--port", "ttyACM0", "--device", "32", "1"},
        {"--port", "ttyACM0", "--device", "Radio", "1"},
        {"--port", "ttyACM0", "--toggle", "2", "1"},
        {"--port", "ttyACM0", "--frobnicate", "1"},
        {"--port", "ttyACM0"},
        {"--port", "ttyACM0", "--device"},
        {"--port", "ttyACM0", "--bootloader", "1"},
        {"--port", "ttyACM0", "--monitor", "--bootloader"},
        {"--port", "ttyACM0", "--print", "1"},
        {"--list", "--device", "TV"},
        {"--port", "ttyACM0", "--lircd-conf"},
        {"--lircd-conf", "1"},
        {"--lircd-conf", "--device", "VCR"},
        {"--lircd-conf", "--monitor"},
        {"--port", "ttyACM0", "--long", "1"},
        {"--port", "ttyACM0", "--hold", "0.05", "1"},
        {"--port", "ttyACM0", "--hold", "61", "1"},
        {"--port", "ttyACM0", "--hold", "1.", "1"},
        {"--port", "ttyACM0", "--hold", "1.2345", "1"},
        {"--port", "ttyACM0", "--hold", "-1", "1"},
        {"--port", "ttyACM0", "--repeat", "501", "1"},
        {"--port", "ttyACM0", "--repeat", "x", "1"},
        {"--port", "ttyACM0", "--hold", "1", "--repeat", "2", "1"},
        {"--port", "ttyACM0", "--repeat", "2", "--monitor"},
        {"--port", "ttyACM0", "--wait", "-1", "1"},
        {"--port", "ttyACM0", "--wait", "1.5", "1"},
        {"--list", "--wait", "5"},
        {"--port", "ttyACM0", "--udev-rule", "1"},
        {"--udev-rule", "--list"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> argv{sendPath()};
        argv.insert(argv.end(), args.begin(), args.end());
        const Finished done = run(argv, env);
        std::string shown;
        for (const auto& arg : args) shown += arg + " ";
        EXPECT_EQ(done.status, 2) << shown;
        EXPECT_EQ(done.out, "") << shown;
        EXPECT_TRUE(done.err.starts_with("telvara-send: ")) << shown << done.err;
    }
    EXPECT_EQ(receivedReports(sim.stop().out), std::vector<std::string>{});
}

TEST(TelvaraSend, NoneOrSeveralUsbSerialPortsMustBeNamed) {
    SimulatedDeviceTree none;
    const Finished nothing = run(sendArgs({"1"}), {{"TELVARA_ROOT", none.root()}});
    EXPECT_EQ(nothing.status, 2);
    EXPECT_NE(nothing.err.find("no USB serial port"), std::string::npos) << nothing.err;

    SimulatedDeviceTree several;
    several.addTty("ttyACM0", "cdc_acm", "/dev/null");
    several.addTty("ttyACM1", "cdc_acm", "/dev/null");
    several.addTty("ttyS0", "serial8250", "/dev/null");
    const Finished listed = run(sendArgs({"--list"}), {{"TELVARA_ROOT", several.root()}});
    EXPECT_EQ(listed.out, "ttyACM0\nttyACM1\n");
    const Finished ambiguous = run(sendArgs({"--bootloader"}), {{"TELVARA_ROOT", several.root()}});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_NE(ambiguous.err.find("ttyACM0, ttyACM1"), std::string::npos) << ambiguous.err;
    EXPECT_EQ(ambiguous.out, "");
}

TEST(TelvaraSend, APortThatCannotBeOpenedIsARunTimeFailureThatSaysWhatWasTried) {
    TempDir state;
    RunningSim sim;
    const Finished done = run(sendArgs({"--port", "ttyACM7", "1"}), sim.env({{"XDG_RUNTIME_DIR", state.path()}}));
    EXPECT_EQ(done.status, 1);
    EXPECT_EQ(done.out, "");
    EXPECT_EQ(done.err, "telvara-send: cannot open port ttyACM7: " + sim.root() + "/dev/ttyACM7: no such port (" +
                            sim.root() + "/sys/class/tty lists no tty ttyACM7); is the transmitter plugged in?\n");
}

TEST(TelvaraSend, APortNamedByItsPathInDevIsTheSamePortWithTheSameToggle) {
    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    EXPECT_EQ(run(sendArgs({"--port", "ttyACM0", "1"}), env).out, kKey1 + "\n");
    const Finished byPath = run(sendArgs({"--port", "/dev/ttyACM0", "1"}), env);
    EXPECT_EQ(byPath.status, 0) << byPath.err;
    EXPECT_EQ(byPath.out, kKey1Toggled + "\n");
    const Finished outside = run(sendArgs({"--port", sim.root() + "/dev/ttyACM0", "1"}), env);
    EXPECT_EQ(outside.status, 1);
    EXPECT_EQ(outside.err, "telvara-send: cannot open port " + sim.root() +
                               "/dev/ttyACM0: not a port name: give a tty's name (ttyACM0), its path in /dev "
                               "(/dev/ttyACM0) or its name in /dev/serial/by-id\n");
    const auto reports = receivedReports(sim.stop().out);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[1].starts_with("frame 0x0801 toggle 1")) << reports[1];
}

// Terminals that are not serial ports, each leading to a pty that the test
// watches: a name that got through would put its pulse string there.
TEST(TelvaraSend, TerminalsThatAreNoSerialPortsAreRefusedAndGetNothing) {
    TempDir state;
    PseudoTerminal watched;
    watched.releaseSlave();
    SimulatedDeviceTree tree;
    for (const char* name : {"tty", "ptmx", "console", "ttyS1", "tty2"}) {
        ASSERT_TRUE(tree.addTtyWithoutDriver(name));
        std::filesystem::create_symlink(watched.slavePath(), tree.root() + "/dev/" + name);
    }
    const Environment env{{"TELVARA_ROOT", tree.root()}, {"XDG_RUNTIME_DIR", state.path()}};
    for (const std::string name : {"tty", "ptmx", "console", "ttyS1", "tty2", "/dev/tty"}) {
        SCOPED_TRACE(name);
        const std::string tty = name.substr(name.rfind('/') + 1);
        const std::string why = "cannot open port " + name + ": " + tree.root() + "/dev/" + tty +
                                ": not a serial port (no device driver is bound to " + tty + " in " + tree.root() +
                                "/sys/class/tty)";
        const Finished sent = run(sendArgs({"--port", name, "1"}), env);
        EXPECT_EQ(sent.status, 1);
        EXPECT_EQ(sent.out, "");
        EXPECT_EQ(sent.err, "telvara-send: " + why + "\n");
        const Finished bootloader = run(sendArgs({"--port", name, "--bootloader"}), env);
        EXPECT_EQ(bootloader.status, 1);
        EXPECT_EQ(bootloader.out, "Unable to open Port " + name + "\n");
        EXPECT_EQ(bootloader.err, "telvara-send: " + why + "\n");
        const Finished monitored = run(sendArgs({"--port", name, "--monitor"}), env);
        EXPECT_EQ(monitored.status, 1);
        EXPECT_EQ(monitored.err, "telvara-send: " + why + "\n");
    }
    EXPECT_TRUE(watched.drain(100).empty());
    EXPECT_NE(watched.slaveBaudRate(), 2400) << "nobody set its line";
}

TEST(TelvaraSend, HelpNamesTheKeysAndVersionNamesTheProgram) {
    const Finished help = run(sendArgs({"--help"}));
    EXPECT_EQ(help.status, 0);
    for (const char* word : {"play", "rewind", "record", "--bootloader", "--monitor", "Examples"})
        EXPECT_NE(help.out.find(word), std::string::npos) << word;
    const Finished shortHelp = run(sendArgs({"-h"}));
    EXPECT_EQ(shortHelp.status, 0);
    EXPECT_EQ(shortHelp.out, help.out);
    EXPECT_EQ(run(sendArgs({"--version"})).out, "telvara-send 1.0.0.3\n");
}

TEST(TelvaraSend, AMistypedKeyNameIsAnsweredWithTheNearestOne) {
    const Finished done = run(sendArgs({"--print", "paly"}));
    EXPECT_EQ(done.status, 2);
    EXPECT_EQ(done.out, "");
    EXPECT_EQ(done.err, "telvara-send: unknown key name paly; did you mean play?; try 'telvara-send --help'\n");
}

TEST(TelvaraSend, ListingNoPortsPrintsNothingAndSaysSoOnStandardError) {
    SimulatedDeviceTree none;
    const Finished listed = run(sendArgs({"--list"}), {{"TELVARA_ROOT", none.root()}});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out, "");
    EXPECT_EQ(listed.err, "telvara-send: no USB serial port found; is the transmitter plugged in?\n");
}

TEST(TelvaraSend, AStateFileThatIsNoRegularFileIsNotReadAndNeverWaitedFor) {
    const struct {
        const char* what;
        void (*make)(const std::string& path);
        bool saved;  // whether the toggle can be kept in its place
    } cases[] = {
        {"FIFO", [](const std::string& path) { ::mkfifo(path.c_str(), 0600); }, true},
        {"link to a file holding 1",
         [](const std::string& path) {
             std::ofstream(path + ".target") << "1\n";
             std::filesystem::create_symlink(path + ".target", path);
         },
         true},
        {"directory", [](const std::string& path) { std::filesystem::create_directory(path); }, false},
    };
    RunningSim sim;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir state;
        ::mkdir((state.path() + "/telvara").c_str(), 0700);
        c.make(state.path() + "/telvara/toggle-ttyACM0");
        const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
        const Finished done = run(sendArgs({"--port", "ttyACM0", "1"}), env, std::chrono::seconds(10));
        EXPECT_EQ(done.status, 0) << "-1: it waited for the state file";
        EXPECT_EQ(done.out, kKey1 + "\n") << "nothing remembered: the toggle starts at 0";
        EXPECT_EQ(done.err.empty(), c.saved) << done.err;
        EXPECT_EQ(run(sendArgs({"--port", "ttyACM0", "1"}), env, std::chrono::seconds(10)).out,
                  (c.saved ? kKey1Toggled : kKey1) + "\n");
    }
}

TEST(TelvaraSend, AnInterruptedRunKeepsTheToggleOfEveryFrameItSent) {
    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    Background sending(sendArgs({"--port", "ttyACM0", "1", "2", "3", "4", "5", "6"}), env);
    // An odd number of frames: the toggle to come differs from the one the run started with.
    ASSERT_TRUE(sim.waitForReport("command 3:"));
    EXPECT_EQ(sending.stop(SIGINT).status, 128 + SIGINT) << "it ends as interrupted";
    EXPECT_EQ(run(sendArgs({"--port", "ttyACM0", "7"}), env).status, 0) << "and leaves the port free";

    const auto reports = receivedReports(sim.stop().out);
    ASSERT_GE(reports.size(), 4u);
    const auto toggleOf = [](const std::string& report) { return report.substr(report.find("toggle "), 8); };
    EXPECT_TRUE(reports.back().find("command 7:") != std::string::npos) << reports.back();
    EXPECT_NE(toggleOf(reports.back()), toggleOf(reports[reports.size() - 2]))
        << "the next run must not repeat the toggle of the last frame sent";
}
