// telvara-send with a transmitter laid out as a real one is: USB attributes
// in sysfs, a stable name in /dev/serial/by-id, a port that comes late, a
// key held down, and the reasons an open is turned away.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "ToolProcess.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"

using namespace tooltest;
namespace fs = std::filesystem;

namespace {

const std::string kById = "usb-TELVARA_IR_transmitter_SIM0001-if00";
const std::string kVcrPlay = "0x0175 -> *BbDbBbBdDdBbBbDdDdB~*";

std::vector<std::string> frameReports(const std::string& simOut) {
    std::vector<std::string> reports;
    for (const auto& line : lines(simOut))
        if (line.starts_with("frame") || line.starts_with("  held:")) reports.push_back(line);
    return reports;
}

// Another program with the port open, under the name `name` (what /proc
// shows as its command): `sleep` started through a link of that name.
class Holder {
public:
    Holder(const std::string& name, const std::string& devicePath) : dir_(), link_(dir_.path() + "/" + name) {
        fs::create_symlink("/usr/bin/sleep", link_);
        process_.emplace(std::vector<std::string>{"sh", "-c", R"(exec 3<>"$1" && echo "holding $$." && exec "$0" 60)",
                                                  link_, devicePath});
    }
    bool holding() { return process_->waitForOutput("."); }
    // Its process ID: the shell's, which the exec keeps.
    std::string pid() const {
        const std::string& out = process_->outSoFar();
        const auto start = out.find(' ') + 1;
        return out.substr(start, out.find('.') - start);
    }

private:
    TempDir dir_;
    std::string link_;
    std::optional<Background> process_;
};

}  // namespace

TEST(RealTransmitter, LongListShowsWhatSysfsKnowsAndWhoHoldsThePort) {
    RunningSim sim;
    const Finished plain = run(sendArgs({"--list"}), sim.env());
    EXPECT_EQ(plain.out, "ttyACM0\n") << "plain --list stays names only";

    const std::string free =
        "ttyACM0 driver=cdc_acm usb=1209:0001 manufacturer=\"TELVARA\" product=\"IR transmitter\" "
        "serial=\"SIM0001\" by-id=" +
        kById + " access=yes";
    const Finished listed = run(sendArgs({"--list", "--long"}), sim.env());
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out, free + "\n");

    // While another program has the port open, the list names it.
    Holder terminal("serialterm", sim.root() + "/dev/ttyACM0");
    ASSERT_TRUE(terminal.holding());
    const std::string held = run(sendArgs({"--list", "--long"}), sim.env()).out;
    EXPECT_EQ(held, free + " held-by=\"process " + terminal.pid() + ", serialterm\"\n");
}

TEST(RealTransmitter, TheStableByIdNameReachesTheSamePortAndNothingOutsideDev) {
    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    for (const std::string& name : {kById, "/dev/serial/by-id/" + kById}) {
        const Finished sent = run(sendArgs({"--port", name, "--toggle", "0", "--device", "VCR", "play"}), env);
        EXPECT_EQ(sent.status, 0) << sent.err;
        EXPECT_EQ(sent.out, kVcrPlay + "\n");
    }
    // A by-id link that leads out of /dev, or to no serial port, is not followed there.
    fs::create_symlink("../../../etc/passwd", sim.root() + "/dev/serial/by-id/usb-escape-if00");
    fs::create_symlink("../../tty", sim.root() + "/dev/serial/by-id/usb-console-if00");
    const struct {
        std::string name;
        std::string why;
    } refused[] = {
        {"usb-escape-if00", sim.root() + "/dev/usb-escape-if00: no such port (" + sim.root() +
                                "/sys/class/tty lists no tty usb-escape-if00); is the transmitter plugged in?"},
        {"/dev/serial/by-id/usb-escape-if00", sim.root() +
                                                  "/dev/serial/by-id/usb-escape-if00: no such port (no link "
                                                  "of that name in " +
                                                  sim.root() + "/dev/serial/by-id); is the transmitter plugged in?"},
        {"usb-console-if00", sim.root() + "/dev/tty: no such port (" + sim.root() +
                                 "/sys/class/tty lists no tty tty); is the transmitter plugged in?"},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        const Finished sent = run(sendArgs({"--port", c.name, "1"}), env);
        EXPECT_EQ(sent.status, 1);
        EXPECT_EQ(sent.err, "telvara-send: cannot open port " + c.name + ": " + c.why + "\n");
    }
    EXPECT_EQ(frameReports(sim.stop().out).size(), 2u);
}

TEST(RealTransmitter, UdevRuleMatchesTheTransmittersIdsAndIsOnlyPrinted) {
    RunningSim sim;
    const Finished rule = run(sendArgs({"--udev-rule"}), sim.env());
    EXPECT_EQ(rule.status, 0) << rule.err;
    const auto ruleLines = lines(rule.out);
    ASSERT_FALSE(ruleLines.empty());
    EXPECT_EQ(ruleLines.back(),
              "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"1209\", ATTRS{idProduct}==\"0001\", "
              "TAG+=\"uaccess\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"");
    for (std::size_t i = 0; i + 1 < ruleLines.size(); ++i) EXPECT_TRUE(ruleLines[i].starts_with("#")) << ruleLines[i];
    EXPECT_NE(rule.out.find("sudo udevadm control --reload-rules"), std::string::npos);
    EXPECT_FALSE(fs::exists("70-telvara.rules"));

    // A port without USB descriptors has no rule to match it.
    SimulatedDeviceTree tree;
    PseudoTerminal pty;
    ASSERT_TRUE(tree.addTty("ttyS0", "serial8250", pty.slavePath()));
    const Finished none = run(sendArgs({"--port", "ttyS0", "--udev-rule"}), {{"TELVARA_ROOT", tree.root()}});
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "telvara-send: port ttyS0: no USB vendor and product ID in sysfs, so no rule can match it\n");
}

TEST(RealTransmitter, WaitGoesOnOnceThePortAppearsAndGivesUpAtItsLimit) {
    TempDir state;
    SimulatedDeviceTree tree;
    PseudoTerminal transmitter;
    transmitter.releaseSlave();
    const Environment env{{"TELVARA_ROOT", tree.root()}, {"XDG_RUNTIME_DIR", state.path()}};

    Finished sent;
    std::thread sender([&] { sent = run(sendArgs({"--wait", "20", "--toggle", "0", "1"}), env); });
    const SimulatedDeviceTree::UsbDescriptors usb{"1209", "0001", "TELVARA", "IR transmitter", "SIM0001"};
    // As the kernel does it: the port shows in sysfs before its node is in /dev.
    ASSERT_TRUE(tree.addUsbTty("ttyACM1", usb, ""));
    fs::create_symlink(transmitter.slavePath(), tree.root() + "/dev/ttyACM1");
    const std::string key1 = "*BbDbBbBbBbBbBbBbBbBbBbBdB~*";
    const auto got = transmitter.receiveExactly(key1.size(), 20000);
    sender.join();
    EXPECT_EQ(std::string(got.begin(), got.end()), key1);
    EXPECT_EQ(sent.status, 0) << sent.err;

    const auto start = std::chrono::steady_clock::now();
    const Finished late = run(sendArgs({"--port", "ttyACM5", "--wait", "1", "1"}), env);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(late.status, 1);
    EXPECT_NE(late.err.find("no such port"), std::string::npos) << late.err;
}

TEST(RealTransmitter, AHeldKeyRepeatsItsFrameWithTheSameToggleEvery114Ms) {
    const Finished printed = run(sendArgs({"--print", "--repeat", "2", "--device", "VCR", "play", "play"}));
    EXPECT_EQ(printed.out, kVcrPlay + "\n" + kVcrPlay + "\n" + kVcrPlay + "\n" + "0x0975 -> *BbBbDbBdDdBbBbDdDdB~*\n" +
                               "0x0975 -> *BbBbDbBdDdBbBbDdDdB~*\n" + "0x0975 -> *BbBbDbBdDdBbBbDdDdB~*\n");
    EXPECT_EQ(lines(run(sendArgs({"--print", "--hold", "0.5", "--device", "VCR", "play"})).out).size(), 5u)
        << "frames at 0, 114 ... 456 ms";
    // Key 1's string is longer on the wire (129 ms) than a frame period, which then sets the pace.
    EXPECT_EQ(lines(run(sendArgs({"--print", "--hold", "0.5", "1"})).out).size(), 4u) << "frames at 0, 129 ... 387 ms";

    TempDir state;
    RunningSim sim;
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    const Finished held = run(sendArgs({"--toggle", "0", "--repeat", "8", "--device", "VCR", "play"}), env);
    EXPECT_EQ(held.status, 0) << held.err;
    EXPECT_EQ(lines(held.out).size(), 9u);
    // Let go: the next press carries the other toggle.
    EXPECT_EQ(run(sendArgs({"--device", "VCR", "play"}), env).out, "0x0975 -> *BbBbDbBdDdBbBbDdDdB~*\n");

    const auto reports = frameReports(sim.stop().out);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_TRUE(reports[0].starts_with("frame 0x0175 toggle 0")) << reports[0];
    int every = 0;
    int shortest = 0;
    int longest = 0;
    ASSERT_EQ(std::sscanf(reports[1].c_str(), "  held: repeated 8 times, every %d ms (%d to %d ms apart)", &every,
                          &shortest, &longest),
              3)
        << reports[1];
    // The simulator's own arrival times; the bounds allow a busy machine.
    EXPECT_GE(shortest, 91);
    EXPECT_LE(longest, 137);
    EXPECT_TRUE(reports[2].starts_with("frame 0x0975 toggle 1")) << reports[2];
}

// Each reason an open is turned away, in one line with what to do about it.
TEST(RealTransmitter, AnOpenThatIsTurnedAwaySaysWhyAndWhatToDo) {
    TempDir state;
    RunningSim sim;
    const std::string devicePath = sim.root() + "/dev/ttyACM0";
    const auto env = sim.env({{"XDG_RUNTIME_DIR", state.path()}});
    const std::string head = "telvara-send: cannot open port ttyACM0: " + devicePath + ": ";

    {
        Holder modemManager("ModemManager", devicePath);
        ASSERT_TRUE(modemManager.holding());
        const Finished sent = run(sendArgs({"--port", "ttyACM0", "1"}), env);
        EXPECT_EQ(sent.status, 1);
        EXPECT_EQ(sent.err, head + "open in another program (process " + modemManager.pid() +
                                ", ModemManager); it probes new serial devices: keep it away from the transmitter "
                                "with a udev rule that sets ENV{ID_MM_DEVICE_IGNORE}=\"1\" (see 'telvara-send "
                                "--udev-rule')\n");
    }
    {
        Holder terminal("serialterm", devicePath);
        ASSERT_TRUE(terminal.holding());
        const Finished sent = run(sendArgs({"--port", "ttyACM0", "1"}), env);
        EXPECT_EQ(sent.err, head + "open in another program (process " + terminal.pid() +
                                ", serialterm); close the port there, or end it\n");
    }

    // Permissions: the device node's group and mode, and an ordinary user
    // outside that group. Root passes every permission check, so only a run
    // as root can take the part of the ordinary user (through setpriv).
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as an ordinary user";
    const std::string slave = fs::read_symlink(devicePath).string();
    const group* dialout = ::getgrnam("dialout");
    ASSERT_NE(dialout, nullptr);
    ::chmod(sim.root().c_str(), 0755);
    const struct {
        gid_t group;
        mode_t mode;
        std::string why;
    } denied[] = {
        {dialout->gr_gid, 0660,
         "permission denied: the port belongs to group dialout, which this login is not in; join it with "
         "'sudo usermod -aG dialout $USER', then log out and in again"},
        {0, 0600,
         "permission denied (owner root, group root, mode 0600); a udev rule can give you access: see "
         "'telvara-send --udev-rule'"},
    };
    struct stat before {};
    ASSERT_EQ(::stat(slave.c_str(), &before), 0);
    for (const auto& c : denied) {
        SCOPED_TRACE(c.why);
        ASSERT_EQ(::chown(slave.c_str(), 0, c.group), 0);
        ASSERT_EQ(::chmod(slave.c_str(), c.mode), 0);
        std::vector<std::string> argv{
            "setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--inh-caps=-all",
            "--",      sendPath(),       "--port",          "ttyACM0",        "1"};
        const Finished sent = run(argv, sim.env({{"XDG_RUNTIME_DIR", ""}, {"TMPDIR", ""}}));
        EXPECT_EQ(sent.status, 1);
        EXPECT_NE(sent.err.find(head + c.why + "\n"), std::string::npos) << sent.err;
    }
    ::chown(slave.c_str(), before.st_uid, before.st_gid);
    ::chmod(slave.c_str(), before.st_mode & 07777);
    EXPECT_TRUE(frameReports(sim.stop().out).empty()) << "nothing was sent";
}
