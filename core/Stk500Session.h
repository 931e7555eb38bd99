#pragma once
// One STK500v2 exchange over an open port: frames a command, sends it, and
// takes one answer that must be complete, framed as the answer to that command
// and correctly checksummed.

#include <array>
#include <cstdint>
#include <string>

#include "core/Stk500Protocol.h"

class serialInterface;

class Stk500Session {
public:
    // The port is only borrowed: it must stay open while the session is used.
    explicit Stk500Session(serialInterface* port) : port(port) {}

    // Sends the first bodyLength bytes of body as one message, with the next sequence number.
    void sendMessage();

    // Receives one message into body/bodyLength; true when it arrived whole, framed as the answer to
    // the message just sent (start byte, that message's sequence number, token), and its checksum matches.
    bool receiveMessage();

    bool signOn();
    bool firmwareUpgrade(const std::string& accessCode);  // at most 279 characters

    serialInterface* port;
    std::array<std::uint8_t, stk500::kBodyBufferSize> body{};
    std::uint32_t bodyLength = 0;
    std::uint8_t sequenceNumber = 0;  // of the last message sent; the first one carries 1

private:
    bool commandSucceeded(std::uint8_t command) const;
};
