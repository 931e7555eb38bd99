#pragma once
// The line settings a port gets at open, as a pure function of the settings
// the driver reported: kept apart from the open so that what is asked of the
// driver can be checked even where a device cannot report it back (a pty
// forgets parity-enable and data bits).

#include <optional>
#include <string>
#include <termios.h>

namespace serial {

enum class Parity { None, Odd, Even, Mark, Space, Unchanged };

// The parity a 3-character line format text ("8O1") asks for by its middle
// letter; upper case only, any other letter keeps the driver's parity. A text
// of any other length asks for none.
Parity parityOfLineFormat(const std::string& lineFormat);

// termios speed constant for a rate in bits per second; nullopt for a rate the
// terminal interface has no constant for.
std::optional<speed_t> speedOfBaudRate(int baudRate);
// The other way round; 0 for a constant not in the table.
int baudRateOfSpeed(speed_t speed);

// `current` changed to raw binary mode (no software flow control, reads return
// at once, carrier ignored), `baudRate` (kept when it has no constant), 8 data
// bits, `parity`, 1 stop bit. Hardware flow control, parity checking of input
// and hang-up on close stay as the driver had them.
termios lineSettings(const termios& current, int baudRate, Parity parity);

}  // namespace serial
