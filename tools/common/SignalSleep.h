#pragma once
// A sleep that a signal cuts short, for the tools' loops that stop on an
// interrupt: the stop request is seen at once rather than after the pause.

#include <chrono>
#include <ctime>

namespace tools {

// Sleeps until `until`, or until a signal arrives.
inline void sleepUntilSignal(std::chrono::steady_clock::time_point until) {
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) return;
    const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
    timespec pause{static_cast<std::time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
    ::nanosleep(&pause, nullptr);
}

}  // namespace tools
