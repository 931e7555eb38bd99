#pragma once
// What the transmitter sends back, shown as the debug window shows it: one
// poll every 100 ms, one line per poll that received something, the text cut
// at its first 0 byte.

#include <csignal>
#include <cstdio>

class serialInterface;

namespace send {

// Polls until `stop` is set (by a signal handler).
void monitorReceivedText(serialInterface& port, std::FILE* out, const volatile std::sig_atomic_t& stop);

}  // namespace send
