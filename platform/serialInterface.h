#pragma once
// The one way to the transmitter's serial port: open by name, blocking write,
// blocking read with a per-call time-out, close by deleting the object.
// Failures come back as results (nullptr, 0); nothing here throws or shows.

#include <cstdint>
#include <string>
#include <utility>

namespace serial {

inline constexpr int kWriteTimeoutMs = 500;        // a write takes at most this long, whatever its length
inline constexpr int kDefaultReadTimeoutMs = 500;  // in force after an open, until a read sets its own
inline constexpr int kQueueSize = 512;             // recommended driver queues, both directions
inline constexpr int kBootloaderBaudRate = 9600;   // 8N1, for the STK500v2 exchange

// The OS handle of an open port: a file descriptor on POSIX, a HANDLE on Windows.
using NativeHandle = std::intptr_t;

// Why an open gave no port, named where it happened, for a caller that tells
// the user (the windowed program shows only its status text).
struct OpenFailure {
    std::string devicePath;  // what was tried; empty when the name itself was refused
    std::string reason;

    std::string text() const { return devicePath.empty() ? reason : devicePath + ": " + reason; }
};

}  // namespace serial

class serialInterface {
public:
    // `lockFile`: the lock file taken for the port (POSIX), removed with it.
    explicit serialInterface(serial::NativeHandle handle, std::string lockFile = {})
        : handle_(handle), lockFile_(std::move(lockFile)) {}
    ~serialInterface();  // closes the port
    serialInterface(const serialInterface&) = delete;
    serialInterface& operator=(const serialInterface&) = delete;

    // Bytes written (fewer when the write time-out cut it short), 0 on failure.
    int write(const void* data, int count);

    // Waits until `count` bytes have arrived or `timeoutMs` have passed since the
    // call (<= 0 means 1 ms) and returns how many were placed in `buffer`; 0 on failure.
    int read(void* buffer, int count, int timeoutMs = 0);

    serial::NativeHandle handle() const { return handle_; }

private:
    serial::NativeHandle handle_;
    std::string lockFile_;
};

// Opens `portName` (e.g. "COM3", "ttyACM0") at `baudRate`, 8 data bits, the parity
// letter in the middle of a 3-character `lineFormat` ("8O1"), 1 stop bit.
// nullptr when the port cannot be opened, is held elsewhere, or the name is not a
// port name; then `failure`, if given, says what was tried and why it failed.
serialInterface* openPort(const std::string& portName, int baudRate, const std::string& lineFormat,
                          serial::OpenFailure* failure = nullptr);

// Opens `portName` at 9600 baud 8N1.
serialInterface* openPort9600(const std::string& portName, serial::OpenFailure* failure = nullptr);
