// telvara-send: the control program's functions from a shell.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/BootloaderActivation.h"
#include "core/KeypadLine.h"
#include "core/Rc5.h"
#include "platform/serialInterface.h"
#include "tools/send/FramePacing.h"
#include "tools/send/ReceiveMonitor.h"
#include "tools/send/SendOptions.h"
#include "tools/send/ToggleStore.h"
#include "tools/send/UsbSerialPorts.h"

namespace {

constexpr const char* kProgram = "telvara-send: ";
constexpr const char* kTryHelp = "; try 'telvara-send --help'";
constexpr const char* kNoPortFound = "no USB serial port found; is the transmitter plugged in?";
constexpr const char* kNoPortListed = "no USB serial port found; plug in the transmitter or name a port with --port";
constexpr const char* kSeveralPorts = "several USB serial ports (";
constexpr const char* kChooseOne = "); choose one with --port";
constexpr const char* kCannotOpen = "cannot open port ";
constexpr const char* kShortWrite = "the port did not take the whole pulse string of command ";
constexpr const char* kToggleNotKept = " (the toggle bit will start at 0 next time)";

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

volatile std::sig_atomic_t stopRequested = 0;

void onStop(int) { stopRequested = 1; }

void complain(const std::string& message) { std::fprintf(stderr, "%s%s\n", kProgram, message.c_str()); }

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct PortDeleter {
    void operator()(serialInterface* port) const { delete port; }
};
using Port = std::unique_ptr<serialInterface, PortDeleter>;

// The port the user named, or the only one listed; exit status 2 otherwise.
std::optional<std::string> choosePort(const send::SendOptions& options) {
    if (options.port) return options.port;
    const send::UsbSerialPorts ports = send::findUsbSerialPorts();
    if (ports.names.size() == 1 && ports.error.empty()) return ports.names.front();
    if (!ports.error.empty()) complain(ports.error);
    if (ports.names.empty()) {
        complain(kNoPortListed);
    } else {
        std::string names;
        for (const auto& name : ports.names) names += (names.empty() ? "" : ", ") + name;
        complain(kSeveralPorts + names + kChooseOne);
    }
    return std::nullopt;
}

int list() {
    const send::UsbSerialPorts ports = send::findUsbSerialPorts();
    for (const auto& name : ports.names) printLine(name);
    // Standard output stays empty for scripts; the person at the shell is told why.
    if (ports.names.empty() && ports.error.empty()) complain(kNoPortFound);
    if (ports.error.empty()) return kExitSuccess;
    complain(ports.error);
    return kExitFailure;
}

std::int32_t nextToggle(std::int32_t toggle) { return toggle != 0 ? 0 : 1; }

int print(const send::SendOptions& options) {
    std::int32_t toggle = options.toggle.value_or(0);
    for (const int command : options.commands) {
        const std::int32_t word = rc5::codeWord(toggle, options.device, command);
        printLine(rc5::sentFrameLine(word, rc5::pulseString(word)));
        toggle = nextToggle(toggle);
    }
    return kExitSuccess;
}

int sendCommands(const send::SendOptions& options, const std::string& portName) {
    std::string storeError;
    const auto store = send::ToggleStore::open(storeError);
    if (!store) complain(storeError + kToggleNotKept);
    std::int32_t toggle = options.toggle.value_or(store ? store->load(portName) : 0);

    const Port port(openPort(portName, kKeypadBaudRate, kKeypadLineFormat));
    if (!port) {
        complain(kCannotOpen + portName);
        return kExitFailure;
    }
    int status = kExitSuccess;
    std::size_t previousLength = 0;
    for (std::size_t i = 0; i < options.commands.size(); ++i) {
        if (i > 0) std::this_thread::sleep_for(std::chrono::milliseconds(send::pauseAfterFrameMs(previousLength)));
        const std::int32_t word = rc5::codeWord(toggle, options.device, options.commands[i]);
        const std::string pulses = rc5::pulseString(word);
        previousLength = pulses.size();
        const int written = port->write(pulses.data(), static_cast<int>(pulses.size()));
        printLine(rc5::sentFrameLine(word, pulses));
        if (written != static_cast<int>(pulses.size())) {
            complain(kShortWrite + std::to_string(options.commands[i]));
            status = kExitFailure;
        }
        // Flipped whatever the port did, as after a key press: the receiver
        // must not take the next command for this one held down.
        toggle = nextToggle(toggle);
    }
    if (store && !store->save(portName, toggle, storeError)) complain(storeError);
    return status;
}

int activateBootloader(const std::string& portName) {
    const Port port(openPort9600(portName));
    const std::string status = port ? bootloader::exchange(port.get())
                                    : bootloader::kStatusUnableToOpenPort + portName;
    printLine(status);
    return status == bootloader::kStatusSuccess ? kExitSuccess : kExitFailure;
}

int monitor(const std::string& portName) {
    const Port port(openPort(portName, kKeypadBaudRate, kKeypadLineFormat));
    if (!port) {
        complain(kCannotOpen + portName);
        return kExitFailure;
    }
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
    send::monitorReceivedText(*port, stdout, stopRequested);
    return kExitSuccess;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = send::parseSendOptions(args, error);
    if (!options) {
        complain(error + kTryHelp);
        return kExitUsage;
    }
    switch (options->mode) {
        case send::SendMode::Help: std::fputs(send::sendHelpText().c_str(), stdout); return kExitSuccess;
        case send::SendMode::Version: std::puts("telvara-send " TELVARA_VERSION); return kExitSuccess;
        case send::SendMode::List: return list();
        case send::SendMode::Print: return print(*options);
        case send::SendMode::Send:
        case send::SendMode::Bootloader:
        case send::SendMode::Monitor: break;
    }
    const auto portName = choosePort(*options);
    if (!portName) return kExitUsage;
    if (options->mode == send::SendMode::Bootloader) return activateBootloader(*portName);
    if (options->mode == send::SendMode::Monitor) return monitor(*portName);
    return sendCommands(*options, *portName);
}
