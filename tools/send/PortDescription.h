#pragma once
// One line of `--list --long`: what the system knows of a USB serial port,
// so that the transmitter can be told apart from other ports.

#include <string>

namespace sender {

// ttyACM0 driver=cdc_acm usb=16c0:05dc manufacturer="..." product="..." serial="..."
//   by-id=usb-..._...-if00 access=yes [held-by="process 4321, minicom"]
// (one line). Unknown values are shown as "-".
std::string portDescriptionLine(const std::string& ttyName);

}  // namespace sender
