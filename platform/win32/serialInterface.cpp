// The transmitter's port on Windows, through the communications functions.
// Opening runs the same fourteen steps on every path; once CreateFileA has
// handed out the handle of a character device, the port counts as open
// whatever the setup calls say, because a driver that refuses one setting
// usually still carries the bytes.

#include "platform/serialInterface.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <optional>
#include <string>
#include <utility>

namespace {

constexpr const char* kDevicePrefix = "\\\\.\\";  // COM10 and up are reachable only this way
constexpr BYTE kDataBits = 8;
constexpr const char* kNotACharacterDevice = "not a serial port (a file, pipe or disk, not a character device)";
constexpr const char* kSystemError = "system error ";

HANDLE nativeOf(serial::NativeHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

// The parity that the middle letter of "8O1" stands for; nullopt keeps the driver's.
std::optional<BYTE> parityOf(char letter) {
    switch (letter) {
        case 'N': return NOPARITY;
        case 'O': return ODDPARITY;
        case 'E': return EVENPARITY;
        case 'M': return MARKPARITY;
        case 'S': return SPACEPARITY;
        default: return std::nullopt;
    }
}

// The driver's line settings. Should it not report them, the fields this
// program leaves alone start from zero instead of whatever the stack held:
// no flow control, no special characters.
DCB driverLineSettings(HANDLE port) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(port, &dcb)) {
        dcb = DCB{};
        dcb.DCBlength = sizeof dcb;
    }
    return dcb;
}

// Both multipliers 0: a write takes at most its constant whatever its length,
// and a read returns with whatever has come when its constant has passed.
COMMTIMEOUTS openTimeouts() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = serial::kDefaultReadTimeoutMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = serial::kWriteTimeoutMs;
    return timeouts;
}

// The system's own words for an error code, or its number where it has none.
std::string systemMessage(DWORD error) {
    char* text = nullptr;
    const DWORD length =
        FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message =
        length > 0 && text != nullptr ? std::string(text, length) : kSystemError + std::to_string(error);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' '))
        message.pop_back();
    return message;
}

void fail(serial::OpenFailure* failure, const std::string& path, std::string reason) {
    if (failure != nullptr) *failure = {path, std::move(reason)};
}

// `parity` nullopt: keep what the driver reported.
serialInterface* openConfigured(const std::string& portName, DWORD baudRate, std::optional<BYTE> parity,
                                serial::OpenFailure* failure) {
    const std::string path = kDevicePrefix + portName;
    HANDLE port = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        fail(failure, path, systemMessage(GetLastError()));
        return nullptr;
    }
    // A map value may name anything the device namespace reaches: a file, a
    // pipe, a disk. Only a character device is a serial port; nothing else
    // gets line settings, and never a pulse string.
    if (GetFileType(port) != FILE_TYPE_CHAR) {
        CloseHandle(port);
        fail(failure, path, kNotACharacterDevice);
        return nullptr;
    }

    DCB dcb = driverLineSettings(port);
    dcb.BaudRate = baudRate;
    dcb.ByteSize = kDataBits;
    if (parity) dcb.Parity = *parity;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = 1;

    SetupComm(port, serial::kQueueSize, serial::kQueueSize);
    SetCommState(port, &dcb);
    SetCommMask(port, 0);
    // Whatever the transmitter said before we were listening is not an answer to us.
    PurgeComm(port, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    EscapeCommFunction(port, CLRDTR);
    EscapeCommFunction(port, CLRRTS);

    COMMTIMEOUTS timeouts = openTimeouts();
    SetCommTimeouts(port, &timeouts);

    return new serialInterface(reinterpret_cast<serial::NativeHandle>(port));
}

}  // namespace

serialInterface* openPort(const std::string& portName, int baudRate, const std::string& lineFormat,
                          serial::OpenFailure* failure) {
    // Only the parity letter is read: data bits and stop bits are always 8 and 1.
    std::optional<BYTE> parity = NOPARITY;
    if (lineFormat.size() == 3) parity = parityOf(lineFormat[1]);
    return openConfigured(portName, static_cast<DWORD>(baudRate), parity, failure);
}

serialInterface* openPort9600(const std::string& portName, serial::OpenFailure* failure) {
    return openConfigured(portName, serial::kBootloaderBaudRate, NOPARITY, failure);
}

serialInterface::~serialInterface() {
    CloseHandle(nativeOf(handle_));
}

int serialInterface::write(const void* data, int count) {
    // A negative count would become a huge DWORD and send whatever follows `data`.
    if (count <= 0 || data == nullptr) return 0;
    DWORD written = 0;
    if (!WriteFile(nativeOf(handle_), data, static_cast<DWORD>(count), &written, nullptr)) return 0;
    return static_cast<int>(written);
}

int serialInterface::read(void* buffer, int count, int timeoutMs) {
    if (count <= 0 || buffer == nullptr) return 0;
    HANDLE port = nativeOf(handle_);

    // The time-out lives in the port, so each read sets its own: the receive
    // poll must not inherit the 500 ms of a bootloader answer, nor the reverse.
    // Should the port not report its record, the write time-out stays the one
    // set at open rather than becoming 0, which would mean "wait for ever".
    COMMTIMEOUTS timeouts = openTimeouts();
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadTotalTimeoutConstant = timeoutMs > 0 ? static_cast<DWORD>(timeoutMs) : 1;
    SetCommTimeouts(port, &timeouts);

    DWORD got = 0;
    if (!ReadFile(port, buffer, static_cast<DWORD>(count), &got, nullptr)) return 0;
    return static_cast<int>(got);
}
