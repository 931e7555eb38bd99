#pragma once
// The USB serial ports, as the Port menu and the command line list them: the
// serial device map's values whose name marks a USB serial device, in the
// map's order.

#include <string>
#include <vector>

namespace devicemap {

struct UsbSerialPorts {
    std::vector<std::string> names;
    // Set when a matching value could not be read: the names before it are
    // kept and the later ones are not looked at.
    std::string error;
};

UsbSerialPorts findUsbSerialPorts();

}  // namespace devicemap
