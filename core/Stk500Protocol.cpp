#include "core/Stk500Protocol.h"

#include <algorithm>

namespace stk500 {

std::vector<std::uint8_t> frame(std::uint8_t sequence, std::span<const std::uint8_t> body) {
    // Sized once and filled in place: growing a short vector with insert()
    // draws a false -Warray-bounds from GCC 12 in optimised builds.
    std::vector<std::uint8_t> message(kHeaderSize + body.size() + 1);
    message[0] = kMessageStart;
    message[1] = sequence;
    message[2] = static_cast<std::uint8_t>(body.size() >> 8);
    message[3] = static_cast<std::uint8_t>(body.size());
    message[4] = kToken;
    std::copy(body.begin(), body.end(), message.begin() + kHeaderSize);
    message.back() = checksum(message.data(), message.size() - 1);
    return message;
}

std::size_t declaredBodySize(std::span<const std::uint8_t, kHeaderSize> header) {
    return std::size_t{header[2]} << 8 | header[3];
}

}  // namespace stk500
