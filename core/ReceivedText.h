#pragma once
// What the transmitter sends back becomes text for the debug window.

#include <string>

namespace receive {

inline constexpr int kPollIntervalMs = 100;  // one poll per timer tick
inline constexpr int kBufferSize = 128;      // bytes taken per poll; the rest waits for the next

// The bytes up to, not including, the first 0 byte; nothing else is changed.
std::string receivedText(const void* bytes, int count);

}  // namespace receive
