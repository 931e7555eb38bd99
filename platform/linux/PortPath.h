#pragma once
// The one reader of port names on Linux: what a name given by the serial
// device map or typed on a command line stands for, and whether it is a
// serial port at all. The open goes only where this leads.

#include <optional>
#include <string>

#include "platform/serialInterface.h"

namespace serial {

struct PortPath {
    std::string ttyName;     // the kernel's name of the tty, as /sys/class/tty lists it: "ttyACM0"
    std::string devicePath;  // the file to open: /dev/ttyACM0 (under TELVARA_ROOT)
};

// A port name is an entry of /dev, given bare ("ttyACM0", as the serial device
// map gives it) or as its path ("/dev/ttyACM0", as other serial tools take it).
// An entry that is a link within /dev (an alias made by udev) stands for the
// tty it leads to, and so does a stable name from /dev/serial/by-id, given
// bare ("usb-Maker_Product_1234-if00") or as its path, which survives the
// renumbering of a re-plug. The tty must have a device driver, as the ttys the serial
// device map lists have: /dev/tty, ptmx, the console, the virtual consoles
// and the pseudo-terminals are not serial ports.
// nullopt, with `failure` saying what was tried and why, for anything else;
// nothing is opened to find out.
std::optional<PortPath> resolvePortName(const std::string& portName, OpenFailure& failure);

}  // namespace serial
