#include "tools/send/ReceiveMonitor.h"

#include <array>
#include <cerrno>
#include <chrono>
#include <ctime>
#include <string>

#include "core/ReceivedText.h"
#include "platform/serialInterface.h"

namespace send {
namespace {

using Clock = std::chrono::steady_clock;

// Sleeps until `until`, but returns early when a signal arrives so that the
// stop request is seen at once.
void sleepUntil(Clock::time_point until) {
    const auto left = until - Clock::now();
    if (left <= Clock::duration::zero()) return;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec pause{static_cast<std::time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    ::nanosleep(&pause, nullptr);
}

}  // namespace

void monitorReceivedText(serialInterface& port, std::FILE* out, const volatile std::sig_atomic_t& stop) {
    std::array<char, receive::kBufferSize> buffer{};
    const auto interval = std::chrono::milliseconds(receive::kPollIntervalMs);
    auto tick = Clock::now();
    while (stop == 0) {
        const int count = port.read(buffer.data(), static_cast<int>(buffer.size()));
        if (count > 0) {
            const std::string text = receive::receivedText(buffer.data(), count);
            std::fwrite(text.data(), 1, text.size(), out);
            std::fputc('\n', out);
            std::fflush(out);
        }
        tick += interval;
        // After a long stall, start afresh instead of polling in a burst to catch up.
        if (tick < Clock::now()) tick = Clock::now() + interval;
        sleepUntil(tick);
    }
}

}  // namespace send
