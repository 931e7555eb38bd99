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

// TAB, CR and LF: the bytes that lay text out.
enum class Layout { Escaped, Kept };

// \\, \0, \t, \r, \n and \xHH for anything else outside 0x20..0x7E. With
// Layout::Kept, TAB, CR and LF pass as they are: text for a terminal, where
// every other control byte could retitle, clear or recolour it.
std::string escapeBytes(std::span<const std::uint8_t> bytes, Layout layout = Layout::Escaped);

// The inverse: \\, \0, \t, \r, \n, \xHH (exactly two hex digits). nullopt
// with `why` set for a dangling backslash or an unknown escape.
std::optional<std::vector<std::uint8_t>> unescapeBytes(std::string_view text, std::string* why = nullptr);

}  // namespace tools
