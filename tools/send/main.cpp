// telvara-send: the control program's functions from a shell.

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "core/BootloaderActivation.h"
#include "core/KeypadLine.h"
#include "core/Rc5.h"
#include "platform/UsbSerialPorts.h"
#include "platform/linux/PortPath.h"
#include "platform/linux/UsbSerialDevice.h"
#include "platform/serialInterface.h"
#include "tools/common/SignalSleep.h"
#include "tools/send/FramePacing.h"
#include "tools/send/LircdConf.h"
#include "tools/send/PortDescription.h"
#include "tools/send/ReceiveMonitor.h"
#include "tools/send/SendOptions.h"
#include "tools/send/ToggleStore.h"
#include "tools/send/UdevRule.h"

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
constexpr const char* kPortLost = ": the transmitter hung up or was unplugged";
constexpr const char* kPortPrefix = "port ";
constexpr const char* kCannotWriteOutput = "cannot write the output: ";
constexpr const char* kNotUsb = ": no USB vendor and product ID in sysfs, so no rule can match it";

// How often --wait looks for the port: quick enough that nobody notices.
constexpr int kWaitPollMs = 100;

constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

volatile std::sig_atomic_t stopRequested = 0;  // the signal that asked to stop

void onStop(int signal) {
    stopRequested = signal;
}

// An interrupt asks to stop rather than ending the process on the spot, so
// that the port is closed as it should be: left in exclusive mode by a
// process that ended without closing it, a pseudo-terminal would turn every
// later open away.
void installStopHandlers() {
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

// Ends the process by the signal that asked it to stop, now that the port is
// closed, so that whoever started it sees how it ended.
void endAsAsked() {
    const int signal = stopRequested;
    if (signal == 0) return;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Waits until `until`, or less when asked to stop; false when asked.
bool pauseUntilUnlessStopped(std::chrono::steady_clock::time_point until) {
    while (stopRequested == 0 && std::chrono::steady_clock::now() < until) tools::sleepUntilSignal(until);
    return stopRequested == 0;
}

// Waits `ms`, or less when asked to stop; false when asked.
bool pauseUnlessStopped(int ms) {
    return pauseUntilUnlessStopped(std::chrono::steady_clock::now() + std::chrono::milliseconds(ms));
}

void complain(const std::string& message) {
    std::fprintf(stderr, "%s%s\n", kProgram, message.c_str());
}

void printLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

struct PortDeleter {
    void operator()(serialInterface* port) const { delete port; }
};
using Port = std::unique_ptr<serialInterface, PortDeleter>;

void complainCannotOpen(const std::string& portName, const serial::OpenFailure& failure) {
    complain(kCannotOpen + portName + ": " + failure.text());
}

// The toggle belongs to the port, by whichever name it was given ("ttyACM0", "/dev/ttyACM0").
std::string toggleKeyOf(const std::string& portName) {
    serial::OpenFailure ignored;
    const auto path = serial::resolvePortName(portName, ignored);
    return path ? path->ttyName : portName;
}

// Listed, and with its device node made: sysfs shows a new port a moment
// before its node appears in /dev.
bool portIsThere(const std::string& portName) {
    serial::OpenFailure ignored;
    const auto path = serial::resolvePortName(portName, ignored);
    struct stat st {};
    return path && ::stat(path->devicePath.c_str(), &st) == 0;
}

bool listedPortsAreThere() {
    const devicemap::UsbSerialPorts ports = devicemap::findUsbSerialPorts();
    return !ports.names.empty() && std::all_of(ports.names.begin(), ports.names.end(), portIsThere);
}

// With --wait, until the port is there (named, or any USB serial port) or the
// time is up; the choice below then says what is missing.
void waitForPort(const sender::SendOptions& options) {
    if (!options.waitSeconds) return;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(*options.waitSeconds);
    auto there = [&] { return options.port ? portIsThere(*options.port) : listedPortsAreThere(); };
    while (!there() && stopRequested == 0 && std::chrono::steady_clock::now() < until) {
        const auto next = std::min(until, std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitPollMs));
        while (stopRequested == 0 && std::chrono::steady_clock::now() < next) tools::sleepUntilSignal(next);
    }
}

// The port the user named, or the only one listed; exit status 2 otherwise.
std::optional<std::string> choosePort(const sender::SendOptions& options) {
    waitForPort(options);
    if (options.port) return options.port;
    const devicemap::UsbSerialPorts ports = devicemap::findUsbSerialPorts();
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

int list(bool longList) {
    const devicemap::UsbSerialPorts ports = devicemap::findUsbSerialPorts();
    for (const auto& name : ports.names) printLine(longList ? sender::portDescriptionLine(name) : name);
    // Standard output stays empty for scripts; the person at the shell is told why.
    if (ports.names.empty() && ports.error.empty()) complain(kNoPortFound);
    if (ports.error.empty()) return kExitSuccess;
    complain(ports.error);
    return kExitFailure;
}

// How many times a key's frame goes out: once for a press, more while held.
int framesPerKey(const sender::SendOptions& options, std::size_t pulseStringLength) {
    if (options.repeats) return 1 + *options.repeats;
    if (!options.holdMs) return 1;
    const int period = sender::repeatPeriodMs(pulseStringLength);
    return (*options.holdMs + period - 1) / period;
}

int print(const sender::SendOptions& options) {
    std::int32_t toggle = options.toggle.value_or(0);
    for (const int command : options.commands) {
        const std::int32_t word = rc5::codeWord(toggle, options.device, command);
        const std::string pulses = rc5::pulseString(word);
        for (int frame = framesPerKey(options, pulses.size()); frame > 0; --frame)
            printLine(rc5::sentFrameLine(word, pulses));
        toggle = rc5::nextToggle(toggle);
    }
    return kExitSuccess;
}

int printUdevRule(const std::string& portName) {
    serial::OpenFailure failure;
    const auto path = serial::resolvePortName(portName, failure);
    if (!path) {
        complain(failure.text());
        return kExitFailure;
    }
    const serial::UsbSerialDevice device = serial::describeUsbSerialDevice(path->ttyName);
    auto isId = [](const std::string& id) {
        return id.size() == 4 && id.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
    };
    if (!isId(device.vendorId) || !isId(device.productId)) {
        complain(kPortPrefix + path->ttyName + kNotUsb);
        return kExitFailure;
    }
    std::fputs(sender::udevRuleText(path->ttyName, device.vendorId, device.productId).c_str(), stdout);
    return kExitSuccess;
}

int sendCommands(const sender::SendOptions& options, const std::string& portName) {
    std::string storeError;
    auto store = sender::ToggleStore::open(storeError);
    if (!store) complain(storeError + kToggleNotKept);
    const std::string toggleKey = toggleKeyOf(portName);
    std::int32_t toggle = options.toggle.value_or(store ? store->load(toggleKey) : 0);

    serial::OpenFailure failure;
    const Port port(openPort(portName, kKeypadBaudRate, kKeypadLineFormat, &failure));
    if (!port) {
        complainCannotOpen(portName, failure);
        return kExitFailure;
    }
    int status = kExitSuccess;
    std::size_t previousLength = 0;
    for (std::size_t i = 0; i < options.commands.size() && stopRequested == 0; ++i) {
        if (i > 0 && !pauseUnlessStopped(sender::pauseAfterFrameMs(previousLength))) break;
        const std::int32_t word = rc5::codeWord(toggle, options.device, options.commands[i]);
        const std::string pulses = rc5::pulseString(word);
        previousLength = pulses.size();
        // A held key: the same frame, toggle and all, one period after the
        // other, timed from the first so that the writes' own time does not add up.
        const auto pressed = std::chrono::steady_clock::now();
        const int period = sender::repeatPeriodMs(pulses.size());
        bool complete = true;
        const int frames = framesPerKey(options, pulses.size());
        for (int frame = 0; frame < frames; ++frame) {
            if (frame > 0 && !pauseUntilUnlessStopped(pressed + std::chrono::milliseconds(frame * period))) break;
            const int written = port->write(pulses.data(), static_cast<int>(pulses.size()));
            printLine(rc5::sentFrameLine(word, pulses));
            if (written != static_cast<int>(pulses.size())) complete = false;
        }
        // Flipped whatever the port did, once the key is let go, as after a key
        // press: the receiver must not take the next command for this one held
        // down. Kept at once, so that a run that is cut short loses nothing.
        toggle = rc5::nextToggle(toggle);
        if (store && !store->save(toggleKey, toggle, storeError)) {
            complain(storeError);
            store.reset();
        }
        if (!complete) {
            complain(kShortWrite + std::to_string(options.commands[i]));
            status = kExitFailure;
        }
    }
    return status;
}

int activateBootloader(const std::string& portName) {
    serial::OpenFailure failure;
    const Port port(openPort9600(portName, &failure));
    if (!port) complainCannotOpen(portName, failure);
    const std::string status = port ? bootloader::exchange(port.get()) : bootloader::kStatusUnableToOpenPort + portName;
    printLine(status);
    return status == bootloader::kStatusSuccess ? kExitSuccess : kExitFailure;
}

int monitor(const std::string& portName) {
    serial::OpenFailure failure;
    const Port port(openPort(portName, kKeypadBaudRate, kKeypadLineFormat, &failure));
    if (!port) {
        complainCannotOpen(portName, failure);
        return kExitFailure;
    }
    std::signal(SIGPIPE, SIG_IGN);
    const sender::MonitorEnd end = sender::monitorReceivedText(*port, stdout, stopRequested);
    switch (end.why) {
        case sender::MonitorEnd::Why::Stopped:
        case sender::MonitorEnd::Why::OutputClosed: return kExitSuccess;
        case sender::MonitorEnd::Why::PortLost: complain(kPortPrefix + portName + kPortLost); return kExitFailure;
        case sender::MonitorEnd::Why::OutputFailed:
            complain(kCannotWriteOutput + std::string(std::strerror(end.error)));
            return kExitFailure;
    }
    return kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto options = sender::parseSendOptions(args, error);
    if (!options) {
        complain(error + kTryHelp);
        return kExitUsage;
    }
    switch (options->mode) {
        case sender::SendMode::Help: std::fputs(sender::sendHelpText().c_str(), stdout); return kExitSuccess;
        case sender::SendMode::Version: std::puts("telvara-send " TELVARA_VERSION); return kExitSuccess;
        case sender::SendMode::List: return list(options->longList);
        case sender::SendMode::Print: return print(*options);
        case sender::SendMode::LircdConf: std::fputs(sender::lircdConf().c_str(), stdout); return kExitSuccess;
        case sender::SendMode::UdevRule:
        case sender::SendMode::Send:
        case sender::SendMode::Bootloader:
        case sender::SendMode::Monitor: break;
    }
    installStopHandlers();
    const auto portName = choosePort(*options);
    if (!portName) {
        endAsAsked();
        return kExitUsage;
    }
    if (options->mode == sender::SendMode::UdevRule) return printUdevRule(*portName);
    // For the monitor, an interrupt is the ordinary end.
    if (options->mode == sender::SendMode::Monitor) return monitor(*portName);
    const int status = options->mode == sender::SendMode::Bootloader ? activateBootloader(*portName)
                                                                     : sendCommands(*options, *portName);
    endAsAsked();
    return status;
}
