#pragma once
// What makes a tty a serial device: a device driver bound to it. The virtual
// consoles, /dev/tty, ptmx, the console and the pseudo-terminals have none; a
// USB or UART port has one (cdc_acm, ftdi_sio, serial8250, ...). The serial
// device map lists these ttys, and only these open as ports.

#include <string>

namespace serial {

// The name of the driver bound to the tty (as /sys/class/tty names it), empty
// when none is, or when `ttyName` is not a name in that directory.
std::string ttyDriverName(const std::string& ttyName);

}  // namespace serial
