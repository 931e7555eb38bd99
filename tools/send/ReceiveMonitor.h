#pragma once
// What the transmitter sends back, shown as the debug window shows it: one
// poll every 100 ms, one line per poll that received something, the text cut
// at its first 0 byte. On a terminal, bytes that could steer it (escape
// sequences, bells, backspaces) are shown escaped, \xHH, and a backslash as
// \\; TAB, CR and LF pass. Into a pipe or a file the bytes go as they are.

#include <csignal>
#include <cstdio>

class serialInterface;

namespace sender {

struct MonitorEnd {
    enum class Why {
        Stopped,       // `stop` was set
        PortLost,      // the transmitter hung up or was unplugged
        OutputClosed,  // nobody reads the output any more (a pipe's reader has gone)
        OutputFailed,  // writing the output failed otherwise; `error` says how
    };
    Why why;
    int error = 0;  // errno of OutputFailed
};

// Polls until `stop` is set (by a signal handler), the port is lost, or the
// output can take no more. Everything received before the port was lost is
// written first. SIGPIPE must be ignored, so that a closed pipe is an error
// to see here rather than the end of the process.
MonitorEnd monitorReceivedText(serialInterface& port, std::FILE* out, const volatile std::sig_atomic_t& stop);

}  // namespace sender
