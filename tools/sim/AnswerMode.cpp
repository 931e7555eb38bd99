#include "tools/sim/AnswerMode.h"

#include <array>

namespace sim {
namespace {

constexpr std::array<AnswerModeName, 10> kNames{{
    {"normal", AnswerMode::Normal, "well-framed answers, STATUS_CMD_OK (a wrong access code gets STATUS_CMD_FAILED)"},
    {"silent", AnswerMode::Silent, "never answers"},
    {"bad-checksum", AnswerMode::BadChecksum, "answers with a wrong checksum byte"},
    {"stray-byte", AnswerMode::StrayByte, "sends one stray byte in front of each answer"},
    {"empty-body", AnswerMode::EmptyBody, "answers with an empty body"},
    {"oversize-body", AnswerMode::OversizeBody, "answers with a 300-byte body (more than 280)"},
    {"failure-status", AnswerMode::FailureStatus, "answers STATUS_CMD_FAILED"},
    {"signon-only", AnswerMode::SignOnOnly, "answers the sign-on, then falls silent"},
    {"zeros", AnswerMode::Zeros, "answers with six 0x00 bytes, as a line held low"},
    {"wrong-sequence", AnswerMode::WrongSequence, "answers with another sequence number than the message's"},
}};

}  // namespace

std::span<const AnswerModeName> answerModeNames() {
    return kNames;
}

std::optional<AnswerMode> answerModeByName(std::string_view name) {
    for (const AnswerModeName& entry : kNames)
        if (entry.name == name) return entry.mode;
    return std::nullopt;
}

std::string_view nameOf(AnswerMode mode) {
    for (const AnswerModeName& entry : kNames)
        if (entry.mode == mode) return entry.name;
    return {};
}

}  // namespace sim
