#pragma once
// The operating system's map of serial devices: value name -> port name.
// Windows: HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM, opened read-only.
// Linux: the ttys under /sys/class/tty that have a driver; cdc_acm ones (the
// transmitter's kind) are named \Device\USBSER000, 001, ... in name order.
// Read errors come back as results; nothing here throws or shows.
//
// The USB serial devices, the candidates for the transmitter, are the values
// whose name starts with kUsbSerialPrefix.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace devicemap {

// What readText reports, the value's name in place of %s (as plain text).
inline constexpr const char* kErrorInvalidDataType = "Invalid data type for '%s'";
inline constexpr const char* kErrorFailedToGetData = "Failed to get data for '%s'";

// The message with the value's name pasted in as it is: a name may hold % signs,
// and it is never used as a format.
inline std::string errorText(std::string_view pattern, const std::string& valueName) {
    const std::size_t at = pattern.find("%s");
    std::string text(pattern.substr(0, at));
    text += valueName;
    text += pattern.substr(at + 2);
    return text;
}

}  // namespace devicemap

inline constexpr std::string_view kUsbSerialPrefix = "\\Device\\USBSER";

// True when the name starts with exactly "\Device\USBSER": case-sensitive, as
// the map spells its USB serial entries one way only.
inline bool isUsbSerialDeviceName(std::string_view valueName) {
    return valueName.substr(0, kUsbSerialPrefix.size()) == kUsbSerialPrefix;
}

class SerialDeviceMap {
public:
    SerialDeviceMap();  // opens the map; isOpen() tells whether that worked
    ~SerialDeviceMap();
    SerialDeviceMap(const SerialDeviceMap&) = delete;
    SerialDeviceMap& operator=(const SerialDeviceMap&) = delete;

    bool isOpen() const;

    // Value names in the map's own enumeration order.
    std::vector<std::string> valueNames() const;

    // The value's data as text, ending at its first NUL. false when the value is
    // not text or cannot be fetched, with `error` set to the message to show.
    bool readText(const std::string& valueName, std::string& text, std::string& error) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
