#include "core/Stk500Session.h"

#include <algorithm>
#include <vector>

#include "platform/serialInterface.h"

void Stk500Session::sendMessage() {
    ++sequenceNumber;  // wraps 255 -> 0 as an 8-bit counter
    // A body never exceeds the buffer; bodyLength only grows past it through
    // an answer, and such an answer is refused before it is stored.
    const auto length = std::min<std::size_t>(bodyLength, body.size());
    const std::vector<std::uint8_t> message = stk500::frame(sequenceNumber, {body.data(), length});
    port->write(message.data(), static_cast<int>(stk500::kHeaderSize));
    port->write(message.data() + stk500::kHeaderSize, static_cast<int>(length));
    port->write(&message.back(), 1);
}

bool Stk500Session::receiveMessage() {
    std::uint8_t header[stk500::kHeaderSize];
    if (port->read(header, static_cast<int>(sizeof header), stk500::kReadTimeoutMs) != static_cast<int>(sizeof header))
        return false;
    // Every STK500v2 peer frames its answer with the start byte, the sequence
    // number of the message it answers and the token. Without these checks a
    // line held low reads as six zero bytes: an empty body whose checksum, 0,
    // matches, which would report a dead transmitter as a successful one.
    if (header[0] != stk500::kMessageStart || header[1] != sequenceNumber || header[4] != stk500::kToken) return false;
    const std::size_t declared = stk500::declaredBodySize(header);
    // Nothing reads an answer's body beyond its first bytes, so an answer too
    // large for the buffer is refused outright rather than read past its end.
    if (declared > body.size()) return false;
    bodyLength = static_cast<std::uint32_t>(declared);
    if (declared > 0 &&
        port->read(body.data(), static_cast<int>(declared), stk500::kReadTimeoutMs) != static_cast<int>(declared))
        return false;
    const std::uint8_t expected = stk500::checksum(body.data(), declared, stk500::checksum(header, sizeof header));
    std::uint8_t received = 0;
    if (port->read(&received, 1, stk500::kReadTimeoutMs) != 1) return false;
    return received == expected;
}

// An answer that is well framed can still say the command failed: it echoes the
// command with a status other than OK, or reports that our message arrived with
// a bad checksum. Reporting that as success would tell the user the transmitter
// is in its bootloader when it is not. Any other well-framed answer is taken as
// the transmitter's agreement.
bool Stk500Session::commandSucceeded(std::uint8_t command) const {
    if (bodyLength >= 1 && body[0] == stk500::kAnswerChecksumError) return false;
    if (bodyLength >= 2 && body[0] == command && body[1] != stk500::kStatusCmdOk) return false;
    return true;
}

bool Stk500Session::signOn() {
    body[0] = stk500::kCmdSignOn;
    bodyLength = 1;
    sendMessage();
    return receiveMessage() && commandSucceeded(stk500::kCmdSignOn);
}

bool Stk500Session::firmwareUpgrade(const std::string& accessCode) {
    body[0] = stk500::kCmdFirmwareUpgrade;
    const auto length = std::min(accessCode.size(), body.size() - 1);
    std::copy_n(accessCode.begin(), length, body.begin() + 1);
    bodyLength = static_cast<std::uint32_t>(1 + length);
    sendMessage();
    return receiveMessage() && commandSucceeded(stk500::kCmdFirmwareUpgrade);
}
