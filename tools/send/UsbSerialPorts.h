#pragma once
// The USB serial ports, found as the Port menu finds them: the serial device
// map's values whose name marks a USB serial device, in the map's order.

#include <string>
#include <vector>

namespace send {

struct UsbSerialPorts {
    std::vector<std::string> names;
    // Set when a matching value could not be read: the names before it are
    // kept and the later ones are not looked at, as in the Port menu.
    std::string error;
};

UsbSerialPorts findUsbSerialPorts();

}  // namespace send
