#include "tools/sim/Stk500Responder.h"

#include <algorithm>
#include <string_view>

#include "core/BootloaderActivation.h"
#include "core/Stk500Protocol.h"
#include "tools/common/ByteEscapes.h"

namespace sim {
namespace {

// The microcontroller the simulated transmitter pretends to carry (an ATmega328P).
constexpr std::uint8_t kDeviceSignature[3] = {0x1E, 0x95, 0x0F};

constexpr std::size_t kOversizeBody = stk500::kBodyBufferSize + 20;
constexpr std::uint8_t kStrayByte = 0x00;
// Header and checksum of an empty message, all zero: what a receiver reads from a line held low.
constexpr std::size_t kZeroAnswerSize = stk500::kHeaderSize + 1;
// Added to the message's sequence number in wrong-sequence mode.
constexpr std::uint8_t kSequenceOffset = 0x80;

constexpr const char* kReportPrefix = "stk500v2 ";
constexpr const char* kReportSequence = " (sequence ";
constexpr const char* kWhatSignOn = "sign-on";
constexpr const char* kWhatUpgrade = "firmware-upgrade with access code \"";
constexpr const char* kWhatBadChecksum = "message with a wrong checksum";
constexpr const char* kWhatEmpty = "message without a body";
constexpr const char* kWhatCommand = "command 0x";
constexpr const char* kAnsweredOk = "answered STATUS_CMD_OK";
constexpr const char* kAnsweredFailed = "answered STATUS_CMD_FAILED";
constexpr const char* kAnsweredUnknown = "answered STATUS_CMD_UNKNOWN";
constexpr const char* kAnsweredChecksumError = "answered ANSWER_CKSUM_ERROR";
constexpr const char* kNotAnswered = "not answered";
constexpr const char* kWithBadChecksum = ", with a wrong checksum";
constexpr const char* kAfterStrayByte = ", after a stray byte";
constexpr const char* kAnsweredEmptyBody = "answered with an empty body";
constexpr const char* kWithOversizeBody = ", with a 300-byte body";
constexpr const char* kAnsweredZeros = "answered with six 0x00 bytes";
constexpr const char* kWithSequence = ", with sequence ";

std::string hexByte(std::uint8_t byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    return {kHex[byte >> 4], kHex[byte & 0x0F]};
}

// What a parameter query gets: hardware version 2, firmware 2.10, everything else 0.
std::uint8_t parameterValue(std::uint8_t parameter) {
    switch (parameter) {
        case stk500::kParamHardwareVersion: return 2;
        case stk500::kParamSoftwareMajor: return 2;
        case stk500::kParamSoftwareMinor: return 10;
        default: return 0;
    }
}

}  // namespace

Stk500Reply Stk500Responder::answer(std::span<const std::uint8_t> message) {
    const std::uint8_t sequence = message[1];
    const auto body = message.subspan(stk500::kHeaderSize, message.size() - stk500::kHeaderSize - 1);
    const bool checksumOk = stk500::checksum(message.data(), message.size() - 1) == message.back();
    const std::uint8_t command = body.empty() ? 0 : body[0];

    std::string what;
    std::vector<std::uint8_t> answerBody;
    std::string outcome = kAnsweredOk;
    if (!checksumOk) {
        what = kWhatBadChecksum;
        answerBody = {stk500::kAnswerChecksumError, stk500::kStatusChecksumError};
        outcome = kAnsweredChecksumError;
    } else if (body.empty()) {
        what = kWhatEmpty;
        answerBody = {0, stk500::kStatusCmdUnknown};
        outcome = kAnsweredUnknown;
    } else if (command == stk500::kCmdSignOn) {
        what = kWhatSignOn;
        answerBody = {command, stk500::kStatusCmdOk, static_cast<std::uint8_t>(stk500::kSignOnSignature.size())};
        answerBody.insert(answerBody.end(), stk500::kSignOnSignature.begin(), stk500::kSignOnSignature.end());
    } else if (command == stk500::kCmdFirmwareUpgrade) {
        const auto code = body.subspan(1);
        what = std::string(kWhatUpgrade) + tools::escapeBytes(code) + "\"";
        const std::string_view expected = bootloader::kAccessCode;
        const bool accepted = std::ranges::equal(
            code, expected, [](std::uint8_t a, char b) { return a == static_cast<std::uint8_t>(b); });
        answerBody = {command, accepted ? stk500::kStatusCmdOk : stk500::kStatusCmdFailed};
        if (!accepted) outcome = kAnsweredFailed;
    } else {
        what = kWhatCommand + hexByte(command);
        switch (command) {
            case stk500::kCmdGetParameter:
                answerBody = {command, stk500::kStatusCmdOk, parameterValue(body.size() > 1 ? body[1] : 0)};
                break;
            case stk500::kCmdSetParameter:
            case stk500::kCmdEnterProgmodeIsp:
            case stk500::kCmdLeaveProgmodeIsp: answerBody = {command, stk500::kStatusCmdOk}; break;
            case stk500::kCmdReadSignatureIsp: {
                // The embedded ISP instruction (body bytes 2..5) carries the byte's address third.
                const std::uint8_t index = body.size() > 4 ? body[4] : 0;
                answerBody = {command, stk500::kStatusCmdOk, kDeviceSignature[index % 3], stk500::kStatusCmdOk};
                break;
            }
            default: answerBody = {command, stk500::kStatusCmdUnknown}; outcome = kAnsweredUnknown;
        }
    }

    AnswerMode mode = command == stk500::kCmdFirmwareUpgrade && checksumOk && upgradeMode_ ? *upgradeMode_ : mode_;
    if (mode == AnswerMode::SignOnOnly) {
        const bool firstSignOn = checksumOk && command == stk500::kCmdSignOn && !signOnAnswered_;
        mode = firstSignOn ? AnswerMode::Normal : AnswerMode::Silent;
    }

    Stk500Reply reply;
    switch (mode) {
        case AnswerMode::Normal:
        case AnswerMode::SignOnOnly: reply.bytes = stk500::frame(sequence, answerBody); break;
        case AnswerMode::Silent: outcome = kNotAnswered; break;
        case AnswerMode::BadChecksum:
            reply.bytes = stk500::frame(sequence, answerBody);
            reply.bytes.back() ^= 0xFF;
            outcome += kWithBadChecksum;
            break;
        case AnswerMode::StrayByte:
            reply.bytes = stk500::frame(sequence, answerBody);
            reply.bytes.insert(reply.bytes.begin(), kStrayByte);
            outcome += kAfterStrayByte;
            break;
        case AnswerMode::EmptyBody:
            reply.bytes = stk500::frame(sequence, {});
            outcome = kAnsweredEmptyBody;
            break;
        case AnswerMode::OversizeBody:
            answerBody.resize(kOversizeBody, 0);
            reply.bytes = stk500::frame(sequence, answerBody);
            outcome += kWithOversizeBody;
            break;
        case AnswerMode::Zeros:
            reply.bytes.assign(kZeroAnswerSize, 0x00);
            outcome = kAnsweredZeros;
            break;
        case AnswerMode::WrongSequence: {
            const auto other = static_cast<std::uint8_t>(sequence + kSequenceOffset);
            reply.bytes = stk500::frame(other, answerBody);
            outcome += kWithSequence + std::to_string(other);
            break;
        }
        case AnswerMode::FailureStatus:
            if (answerBody.size() < 2) answerBody.resize(2);
            answerBody[1] = stk500::kStatusCmdFailed;
            reply.bytes = stk500::frame(sequence, answerBody);
            outcome = kAnsweredFailed;
            break;
    }
    if (checksumOk && command == stk500::kCmdSignOn && !reply.bytes.empty()) signOnAnswered_ = true;

    reply.report = kReportPrefix + what + kReportSequence + std::to_string(sequence) + "): " + outcome;
    return reply;
}

}  // namespace sim
