#pragma once
// How the simulated transmitter answers STK500v2 messages: properly, or in one
// of the ways a real device or line can go wrong, so that every outcome of the
// bootloader activation can be brought about on purpose.

#include <optional>
#include <span>
#include <string_view>

namespace sim {

enum class AnswerMode {
    Normal,         // a well-framed answer with the right status
    Silent,         // no answer at all
    BadChecksum,    // the answer's checksum byte is wrong
    StrayByte,      // one extra byte goes out in front of the answer
    EmptyBody,      // a well-framed answer whose body is empty
    OversizeBody,   // a well-framed answer with a body larger than 280 bytes
    FailureStatus,  // a well-framed answer carrying STATUS_CMD_FAILED
    SignOnOnly,     // answers the first sign-on properly, then nothing any more
    Zeros,          // six 0x00 bytes, as a line held low reads: no start byte, no token
    WrongSequence,  // a well-framed answer that carries another sequence number
};

struct AnswerModeName {
    std::string_view name;
    AnswerMode mode;
    std::string_view meaning;
};

std::span<const AnswerModeName> answerModeNames();
std::optional<AnswerMode> answerModeByName(std::string_view name);
std::string_view nameOf(AnswerMode mode);

}  // namespace sim
