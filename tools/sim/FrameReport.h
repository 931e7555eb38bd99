#pragma once
// The simulator's one-line account of what arrived: a decoded RC-5 frame, or
// bytes that are not one, shown escaped so that nothing goes unseen.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sim {

// "frame 0x0175 toggle 0 address 5 (VCR) command 53: *BbDbBbBdDdBbBbDdDdB~*" for a
// valid pulse string, "not a valid pulse string (<reason>): <escaped bytes>" otherwise.
std::string pulseStringReport(std::span<const std::uint8_t> bytes);

// "unframed bytes (<reason>): <escaped bytes>".
std::string unframedReport(std::span<const std::uint8_t> bytes, std::string_view why);

}  // namespace sim
