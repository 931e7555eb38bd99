#include "core/UsbSerialFilter.h"

bool isUsbSerialDeviceName(std::string_view valueName) {
    // Exact and case-sensitive: the device map spells its USB serial entries one way only.
    return valueName.substr(0, kUsbSerialPrefix.size()) == kUsbSerialPrefix;
}
