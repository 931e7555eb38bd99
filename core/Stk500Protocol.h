#pragma once
// STK500v2 as the program and the simulated transmitter speak it: the constants
// and the message frame (start byte, sequence number, body size, token, body,
// XOR checksum).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace stk500 {

inline constexpr std::uint8_t kMessageStart = 0x1B;
inline constexpr std::uint8_t kToken = 0x0E;
inline constexpr std::uint8_t kCmdSignOn = 0x01;
inline constexpr std::uint8_t kCmdFirmwareUpgrade = 0x07;
inline constexpr std::uint8_t kStatusCmdOk = 0x00;
inline constexpr std::uint8_t kStatusCmdFailed = 0xC0;
inline constexpr std::uint8_t kAnswerChecksumError = 0xB0;

// Commands, statuses and parameters only a bootloader answers or reports; the
// program itself sends nothing but the sign-on and the firmware upgrade.
inline constexpr std::uint8_t kCmdSetParameter = 0x02;
inline constexpr std::uint8_t kCmdGetParameter = 0x03;
inline constexpr std::uint8_t kCmdEnterProgmodeIsp = 0x10;
inline constexpr std::uint8_t kCmdLeaveProgmodeIsp = 0x11;
inline constexpr std::uint8_t kCmdReadSignatureIsp = 0x1B;
inline constexpr std::uint8_t kStatusChecksumError = 0xC1;
inline constexpr std::uint8_t kStatusCmdUnknown = 0xC9;
inline constexpr std::uint8_t kParamHardwareVersion = 0x90;
inline constexpr std::uint8_t kParamSoftwareMajor = 0x91;
inline constexpr std::uint8_t kParamSoftwareMinor = 0x92;
// What a bootloader names itself in its answer to the sign-on.
inline constexpr std::string_view kSignOnSignature = "STK500_2";

inline constexpr std::size_t kHeaderSize = 5;
inline constexpr std::size_t kBodyBufferSize = 280;
inline constexpr int kReadTimeoutMs = 500;

// XOR of every byte, starting from `seed`.
inline std::uint8_t checksum(const std::uint8_t* bytes, std::size_t count, std::uint8_t seed = 0) {
    for (std::size_t i = 0; i < count; ++i) seed ^= bytes[i];
    return seed;
}

// The whole message carrying `body` (at most 65535 bytes): header, body, checksum.
std::vector<std::uint8_t> frame(std::uint8_t sequence, std::span<const std::uint8_t> body);

// The body size a header declares, whether or not its other bytes are right.
std::size_t declaredBodySize(std::span<const std::uint8_t, kHeaderSize> header);

}  // namespace stk500
