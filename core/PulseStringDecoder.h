#pragma once
// Reads a pulse string back into the twelve data bits it carries. Strict: it
// accepts exactly the strings that rc5::pulseString can produce, so a test or
// the simulated transmitter can tell a well-formed frame from anything else.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rc5 {

struct DecodedFrame {
    int toggle = 0;          // bit 11
    int address = 0;         // bits 10..6
    int command = 0;         // bits 5..0
    std::uint16_t bits = 0;  // the 12 data bits
};

// nullopt with `why` set (when given) to a short reason for a malformed string.
std::optional<DecodedFrame> decodePulseString(std::string_view text, std::string* why = nullptr);

// The half-bit levels the string stands for, start bits included, without the
// leading space of the first start bit: true = carrier on.
std::optional<std::vector<bool>> halfBitLevels(std::string_view text);

}  // namespace rc5
