#pragma once
// The COM ports and registry map that scripts/test-windows prepares in the
// suite's wine prefix before it starts the tests; keep both sides in step.

namespace wintest {

// A null-modem pair of pseudo-terminals: what the program writes on one comes
// out of the other, where the test plays the transmitter.
inline constexpr const char* kProgramPort = "COM20";
inline constexpr const char* kTransmitterPort = "COM21";
inline constexpr const char* kAbsentPort = "COM30";  // in the map, but nothing behind it

}  // namespace wintest
