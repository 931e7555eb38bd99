#pragma once
// A remote definition for LIRC's lircd, ready to use with the "telvara"
// driver: one RC-5 remote per appliance of the Device menu, each with the
// keypad's keys that carry a command, under LIRC's key names.

#include <string>
#include <string_view>

namespace sender {

// The LIRC name of a keypad key given by its telvara-send name ("play" -> "KEY_PLAY");
// a key LIRC has no name for keeps its own.
std::string lircKeyName(std::string_view keyName);

// The whole file, comments included.
std::string lircdConf();

}  // namespace sender
