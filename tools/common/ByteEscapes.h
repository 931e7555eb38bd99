#pragma once
// Bytes as text a person can read and type: printable ASCII stays as it is,
// everything else becomes a backslash escape. The same notation is accepted
// on the command line (--say, --ack) and printed in reports, so a reported
// byte string can be pasted back to reproduce it.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

// \\, \0, \t, \r, \n and \xHH for anything else outside 0x20..0x7E.
std::string escapeBytes(std::span<const std::uint8_t> bytes);

// The inverse: \\, \0, \t, \r, \n, \xHH (exactly two hex digits). nullopt
// with `why` set for a dangling backslash or an unknown escape.
std::optional<std::vector<std::uint8_t>> unescapeBytes(std::string_view text, std::string* why = nullptr);

}  // namespace tools
