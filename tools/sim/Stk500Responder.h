#pragma once
// The simulated transmitter's bootloader: answers each STK500v2 message the
// way a real STK500v2 bootloader does (the answer carries the message's
// sequence number, echoes its command and reports a status), or, in the test
// modes, the way a faulty one would.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tools/sim/AnswerMode.h"

namespace sim {

struct Stk500Reply {
    std::vector<std::uint8_t> bytes;  // what goes back on the line; empty for no answer
    std::string report;               // one line for the person watching
};

class Stk500Responder {
public:
    // `upgradeMode`, when given, replaces `mode` for answers to the firmware-upgrade command.
    explicit Stk500Responder(AnswerMode mode, std::optional<AnswerMode> upgradeMode = std::nullopt)
        : mode_(mode), upgradeMode_(upgradeMode) {}

    // `message` is one whole message as IncomingFramer delimits it: header, body, checksum.
    Stk500Reply answer(std::span<const std::uint8_t> message);

private:
    AnswerMode mode_;
    std::optional<AnswerMode> upgradeMode_;
    bool signOnAnswered_ = false;
};

}  // namespace sim
