#pragma once
// The infrared light a pulse string stands for, as the simulated transmitter
// replays it: RC-5 half-bits of 889 us on a 36 kHz carrier.

#include <optional>
#include <string>
#include <string_view>

namespace sim {

// "+889 -889 +1778 ... = 23114 us": marks (carrier on) with '+', spaces with '-',
// each run of equal half-bits merged. nullopt for a string that is not a pulse string.
std::optional<std::string> irTimeline(std::string_view pulseString);

}  // namespace sim
