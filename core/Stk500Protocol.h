#pragma once
// STK500v2 constants the program and the simulated transmitter share.

#include <cstddef>
#include <cstdint>

namespace stk500 {

inline constexpr std::uint8_t kMessageStart = 0x1B;
inline constexpr std::uint8_t kToken = 0x0E;
inline constexpr std::uint8_t kCmdSignOn = 0x01;
inline constexpr std::uint8_t kCmdFirmwareUpgrade = 0x07;
inline constexpr std::uint8_t kStatusCmdOk = 0x00;
inline constexpr std::uint8_t kStatusCmdFailed = 0xC0;
inline constexpr std::uint8_t kAnswerChecksumError = 0xB0;

inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::size_t kBodyBufferSize = 280;
inline constexpr int kReadTimeoutMs = 500;

// XOR of every byte, starting from `seed`.
inline std::uint8_t checksum(const std::uint8_t* bytes, std::size_t count, std::uint8_t seed = 0) {
    for (std::size_t i = 0; i < count; ++i) seed ^= bytes[i];
    return seed;
}

}  // namespace stk500
