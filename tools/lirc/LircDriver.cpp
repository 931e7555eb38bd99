// The LIRC driver "telvara", a plugin for lircd. lircd keeps the remote
// definitions, the toggle bit and the clients; for each code it renders the
// signal as mark and space durations, and this driver writes them to the
// transmitter as one pulse string. Send only.
//
// The port is opened when lircd first initialises the driver (for its first
// client, or at start with --immediate-init) and held until lircd ends, so no
// other program can take the transmitter between two sends: lircd
// deinitialises the driver whenever its last client leaves, and that leaves
// the port open.

#include <lirc_driver.h>

#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <type_traits>

#include "core/KeypadLine.h"
#include "platform/serialInterface.h"
#include "tools/lirc/SignalPulseString.h"

namespace {

// The log macros of lircd expect this name.
const logchannel_t logchannel = LOG_DRIVER;

constexpr const char* kDriverName = "telvara";
constexpr const char* kDriverInfo =
    "TELVARA USB infrared transmitter: sends RC-5 signals as pulse strings over its serial port at 2400 baud 8O1";
constexpr const char* kDeviceHint = "/dev/tty*";
// What lircd's options file holds when nobody has named a device.
constexpr const char* kNoDeviceChosen = "auto";

constexpr const char* kNoPortNamed =
    "telvara: no port named; give the transmitter's port with --device, e.g. --device=ttyACM0";
constexpr const char* kCannotOpen = "telvara: cannot open port %s: %s";
constexpr const char* kPortOpen = "telvara: port %s open at %d baud %s";
constexpr const char* kRefused = "telvara: cannot send %s %s: %s";
constexpr const char* kShortWrite =
    "telvara: the port took %d of the %d bytes of the pulse string for %s %s; it is opened again for the next send";
constexpr const char* kSent = "telvara: %s %s: %s";
constexpr const char* kInternalFault = "telvara: cannot send %s %s: out of memory";

static_assert(std::is_same_v<lirc_t, int>, "the durations are handed on as int");

struct PortCloser {
    void operator()(serialInterface* port) const { delete port; }
};

// The driver's state. lircd calls the driver from its one thread.
struct Transmitter {
    std::string portName;
    std::unique_ptr<serialInterface, PortCloser> port;
};

Transmitter& transmitter() {
    static Transmitter state;
    return state;
}

bool holdPort() {
    Transmitter& t = transmitter();
    if (t.port) return true;
    if (t.portName.empty() || t.portName == kNoDeviceChosen) {
        log_error(kNoPortNamed);
        return false;
    }
    serial::OpenFailure failure;
    t.port.reset(openPort(t.portName, kKeypadBaudRate, kKeypadLineFormat, &failure));
    if (!t.port) {
        log_error(kCannotOpen, t.portName.c_str(), failure.text().c_str());
        return false;
    }
    log_info(kPortOpen, t.portName.c_str(), kKeypadBaudRate, kKeypadLineFormat);
    return true;
}

// Called twice at lircd's start with the same device; a new name lets go of the old port.
int openDriver(const char* device) noexcept {
    Transmitter& t = transmitter();
    try {
        if (device != nullptr && t.portName != device) {
            t.port.reset();
            t.portName = device;
        }
    } catch (...) {
        return DRV_ERR_INTERNAL;
    }
    drv.device = t.portName.c_str();
    drv.fd = -1;
    return 0;
}

int initDriver() noexcept {
    return holdPort() ? 1 : 0;
}

int deinitDriver() noexcept {
    return 1;
}

int closeDriver() noexcept {
    transmitter().port.reset();
    return 0;
}

// 1 when the whole pulse string went to the port. A refused signal writes nothing.
int sendSignal(ir_remote* remote, ir_ncode* code) noexcept {
    try {
        if (!send_buffer_put(remote, code)) return 0;  // lircd has logged why
        const std::span<const int> durations(send_buffer_data(), static_cast<std::size_t>(send_buffer_length()));
        const auto converted = lircplugin::pulseStringOfSignal(
            durations, [remote](int measured, int expected) { return expect(remote, measured, expected) != 0; });
        if (!converted.refusal.empty()) {
            log_error(kRefused, remote->name, code->name, converted.refusal.c_str());
            return 0;
        }
        if (!holdPort()) return 0;

        const std::string& pulses = converted.pulses;
        const int length = static_cast<int>(pulses.size());
        const int written = transmitter().port->write(pulses.data(), length);
        if (written != length) {
            // Unplugged or stuck: a fresh open for the next send purges what is left.
            log_error(kShortWrite, written, length, remote->name, code->name);
            transmitter().port.reset();
            return 0;
        }
        log_debug(kSent, remote->name, code->name, pulses.c_str());
        // lircd times its gap to the next frame from our return. Returning once
        // the string has crossed the line keeps that gap true, and keeps a held
        // key from queueing strings faster than 2400 baud carries them.
        std::this_thread::sleep_for(std::chrono::microseconds(keypadWireMicroseconds(pulses.size())));
        return 1;
    } catch (...) {
        log_error(kInternalFault, remote->name, code->name);
        return 0;
    }
}

const driver kTelvaraDriver = {
    .device = nullptr,
    .fd = -1,
    .features = LIRC_CAN_SEND_PULSE,
    .send_mode = LIRC_MODE_PULSE,
    .rec_mode = 0,
    .code_length = 0,
    .open_func = openDriver,
    .init_func = initDriver,
    .deinit_func = deinitDriver,
    .send_func = sendSignal,
    .rec_func = nullptr,
    .decode_func = nullptr,
    .drvctl_func = default_drvctl,
    .readdata = nullptr,
    .name = kDriverName,
    .resolution = 0,
    .api_version = 3,
    .driver_version = TELVARA_VERSION,
    .info = kDriverInfo,
    .close_func = closeDriver,
    .device_hint = kDeviceHint,
};

}  // namespace

// What lircd looks for in every plugin it loads.
__attribute__((visibility("default"))) const driver* hardwares[] = {&kTelvaraDriver, nullptr};
