#pragma once
// Names for the keypad's keys, so that a shell user can say "play" instead of 53.

#include <optional>
#include <span>
#include <string_view>

namespace sender {

struct KeyName {
    std::string_view name;     // what to type, any case
    int command;               // the RC-5 command the key sends; -1 for keys without one
    std::string_view caption;  // the key's caption on the keypad
};

// The named keys in keypad order; the digit keys are just their numbers.
std::span<const KeyName> keyNames();

std::optional<int> commandOfKeyName(std::string_view name);

}  // namespace sender
