// telvara-sim: the transmitter, simulated on a pseudo-terminal.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <sys/wait.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "platform/linux/SystemPaths.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"
#include "tools/sim/SimOptions.h"
#include "tools/sim/Simulator.h"

namespace {

constexpr const char* kProgram = "telvara-sim: ";
constexpr const char* kTryHelp = "try 'telvara-sim --help'";
constexpr const char* kNoPty = "cannot make a pseudo-terminal: ";
constexpr const char* kNoTree = "cannot build the device tree: ";
constexpr const char* kNoFork = "cannot start the command: ";
constexpr const char* kNoExec = "cannot run ";
// The simulated transmitter's USB descriptors: the test product ID of an open
// registry, so that no real product is named.
const SimulatedDeviceTree::UsbDescriptors kDescriptors{"1209", "0001", "TELVARA", "IR transmitter", "SIM0001"};
constexpr const char* kExport = "export ";
constexpr const char* kWhereLine = "# the simulated transmitter is port ";
constexpr const char* kWhereOn = " (";
constexpr const char* kWhereTail = "); interrupt to stop";

constexpr int kServeSliceMs = 50;  // how often the loop looks at the child and the signals
constexpr int kExitUsage = 2;
constexpr int kExitFailure = 1;
constexpr int kExitCannotRun = 127;
constexpr int kExitSignalBase = 128;

volatile std::sig_atomic_t stopSignal = 0;

void onStopSignal(int signal) {
    stopSignal = signal;
}

void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

void fail(const std::string& message) {
    std::fprintf(stderr, "%s%s\n", kProgram, message.c_str());
}

pid_t startCommand(const std::vector<std::string>& command, const std::string& root) {
    std::vector<char*> argv;
    for (const auto& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        setenv(serial::kRootVariable, root.c_str(), 1);
        execvp(argv[0], argv.data());
        std::fprintf(stderr, "%s%s%s: %s\n", kProgram, kNoExec, argv[0], std::strerror(errno));
        _exit(kExitCannotRun);
    }
    return child;
}

int exitCodeOf(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return kExitSignalBase + WTERMSIG(status);
    return kExitFailure;
}

int run(const sim::SimOptions& options) {
    std::optional<PseudoTerminal> pty;
    try {
        pty.emplace();
    } catch (const std::system_error& error) {
        fail(kNoPty + std::string(error.what()));
        return kExitFailure;
    }
    std::optional<SimulatedDeviceTree> tree;
    try {
        tree.emplace();
    } catch (const std::system_error& error) {
        fail(kNoTree + std::string(error.what()));
        return kExitFailure;
    }
    if (!tree->addUsbTty(options.ttyName, kDescriptors, pty->slavePath())) {
        fail(kNoTree + tree->root());
        return kExitFailure;
    }
    // A transmitter has no hold on the port; the program would take a
    // descriptor kept here for another program holding it.
    pty->releaseSlave();

    sim::Simulator simulator(options, *pty, stdout);
    pid_t child = -1;
    if (!options.command.empty()) {
        child = startCommand(options.command, tree->root());
        if (child < 0) {
            fail(kNoFork + std::string(std::strerror(errno)));
            return kExitFailure;
        }
    } else {
        std::printf("%s%s=%s\n%s%s%s%s%s\n", kExport, serial::kRootVariable, tree->root().c_str(), kWhereLine,
                    options.ttyName.c_str(), kWhereOn, pty->slavePath().c_str(), kWhereTail);
        std::fflush(stdout);
    }

    int exitCode = 0;
    bool forwarded = false;
    for (;;) {
        simulator.serve(kServeSliceMs);
        if (child > 0) {
            int status = 0;
            const pid_t done = waitpid(child, &status, WNOHANG);
            if (done == child) {
                exitCode = exitCodeOf(status);
                break;
            }
            // The command owns the session: it ends when the command has ended.
            if (stopSignal != 0 && !forwarded) {
                kill(child, stopSignal);
                forwarded = true;
            }
        } else if (stopSignal != 0) {
            break;
        }
    }
    simulator.finish();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = sim::parseSimOptions(args, error);
    if (!options) {
        fail(error + "; " + kTryHelp);
        return kExitUsage;
    }
    if (options->help) {
        std::fputs(sim::simHelpText().c_str(), stdout);
        return 0;
    }
    if (options->version) {
        std::puts("telvara-sim " TELVARA_VERSION);
        return 0;
    }
    installStopHandlers();
    return run(*options);
}
