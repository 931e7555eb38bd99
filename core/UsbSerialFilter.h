#pragma once
// Which serial device map values are USB serial devices, i.e. candidates for the transmitter.

#include <string_view>

inline constexpr std::string_view kUsbSerialPrefix = "\\Device\\USBSER";

// True when the first 14 characters are exactly "\Device\USBSER" (case-sensitive).
bool isUsbSerialDeviceName(std::string_view valueName);
