#pragma once
// The line settings of the keypad traffic: pulse strings go out at 2400 baud 8O1.

#include <cstddef>

inline constexpr int kKeypadBaudRate = 2400;
inline constexpr const char* kKeypadLineFormat = "8O1";

// Bits on the wire per character: the start bit, the data bits, a parity bit
// unless 'N', the stop bits ("8O1" gives 11).
constexpr int keypadWireBitsPerCharacter() {
    return 1 + (kKeypadLineFormat[0] - '0') + (kKeypadLineFormat[1] == 'N' ? 0 : 1) + (kKeypadLineFormat[2] - '0');
}

// How long `characters` take to cross the line, rounded up to whole microseconds.
constexpr long long keypadWireMicroseconds(std::size_t characters) {
    const auto bits = static_cast<long long>(characters) * keypadWireBitsPerCharacter();
    return (bits * 1'000'000 + kKeypadBaudRate - 1) / kKeypadBaudRate;
}
