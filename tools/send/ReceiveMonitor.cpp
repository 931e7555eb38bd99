#include "tools/send/ReceiveMonitor.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <poll.h>
#include <span>
#include <string>
#include <unistd.h>

#include "core/ReceivedText.h"
#include "platform/posix/PortLoss.h"
#include "platform/serialInterface.h"
#include "tools/common/ByteEscapes.h"
#include "tools/common/SignalSleep.h"

namespace sender {
namespace {

using Clock = std::chrono::steady_clock;

// A pipe whose reader has gone reports an error, a terminal that has gone a
// hang-up, without anything being written: a quiet transmitter must not keep
// the monitor running for nobody.
bool outputClosed(int fd) {
    pollfd p{fd, 0, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0;
}

MonitorEnd writeFailure(int error) {
    return {error == EPIPE ? MonitorEnd::Why::OutputClosed : MonitorEnd::Why::OutputFailed, error};
}

}  // namespace

MonitorEnd monitorReceivedText(serialInterface& port, std::FILE* out, const volatile std::sig_atomic_t& stop) {
    const int outFd = ::fileno(out);
    const bool terminal = ::isatty(outFd) != 0;
    std::array<char, receive::kBufferSize> buffer{};
    const auto interval = std::chrono::milliseconds(receive::kPollIntervalMs);
    auto tick = Clock::now();
    while (stop == 0) {
        if (outputClosed(outFd)) return {MonitorEnd::Why::OutputClosed};
        const int count = port.read(buffer.data(), static_cast<int>(buffer.size()));
        if (count > 0) {
            std::string text = receive::receivedText(buffer.data(), count);
            if (terminal) {
                const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
                text = tools::escapeBytes(std::span(bytes, text.size()), tools::Layout::Kept);
            }
            text += '\n';
            if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0)
                return writeFailure(errno);
        } else if (serial::portLost(port)) {
            return {MonitorEnd::Why::PortLost};
        }
        tick += interval;
        // After a long stall, start afresh instead of polling in a burst to catch up.
        if (tick < Clock::now()) tick = Clock::now() + interval;
        tools::sleepUntilSignal(tick);
    }
    return {MonitorEnd::Why::Stopped};
}

}  // namespace sender
