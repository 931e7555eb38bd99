#pragma once
// Whether the program had set its port right for what it sent: 2400 baud 8O1
// for pulse strings, 9600 baud 8N1 for STK500v2 messages. A pty keeps only
// the baud rate and the odd-parity flag of what the program asked for (it
// clears parity-enable and forces 8 data bits), so those two are what is checked.

#include <optional>
#include <string>

namespace sim {

enum class Traffic { PulseString, Stk500 };

struct ObservedLine {
    int baudRate = 0;  // 0 when unknown
    bool parityOdd = false;
};

// A one-line report of the mismatch, or nullopt when the line is as expected.
std::optional<std::string> lineSettingsMismatch(Traffic traffic, const ObservedLine& line);

}  // namespace sim
