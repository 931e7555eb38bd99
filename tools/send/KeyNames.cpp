#include "tools/send/KeyNames.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace sender {
namespace {

constexpr std::array<KeyName, 15> kKeys{{
    {"up", 33, "^"},
    {"down", 32, "v"},
    {"left", 17, "<"},
    {"right", 16, ">"},
    {"rewind", 50, "<<"},
    {"pause", 48, "||"},
    {"play", 53, ">"},
    {"forward", 52, ">>"},
    {"stop", 54, "[]"},
    {"record", 55, "o"},
    {"ok", -1, "OK"},
    {"ab", -1, "AB"},
    {"return", -1, "ret"},
    {"plus", -1, "+"},
    {"minus", -1, "-"},
}};

}  // namespace

std::span<const KeyName> keyNames() {
    return kKeys;
}

std::optional<int> commandOfKeyName(std::string_view name) {
    for (const KeyName& key : kKeys) {
        const bool same = std::ranges::equal(
            key.name, name, [](unsigned char a, unsigned char b) { return std::tolower(a) == std::tolower(b); });
        if (same) return key.command;
    }
    return std::nullopt;
}

}  // namespace sender
