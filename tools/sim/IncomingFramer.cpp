#include "tools/sim/IncomingFramer.h"

#include "core/Rc5.h"
#include "core/Stk500Protocol.h"

namespace sim {
namespace {

// The longest pulse string is 30 characters; twice that without "~*" is no
// pulse string any more, and holding it longer would only delay the report.
constexpr std::size_t kPulseStringLimit = 60;
// Stray bytes are reported in chunks of at most this many.
constexpr std::size_t kStrayLimit = 256;

constexpr const char* kWhyStray = "bytes outside any pulse string or STK500v2 message";
constexpr const char* kWhyNoToken = "STK500v2 header without its token 0x0E";
constexpr const char* kWhyBodyTooLarge = "STK500v2 header declares a body larger than 280 bytes";
constexpr const char* kWhyIncompleteMessage = "STK500v2 message cut short";

// The body size the header at the start of `message` declares.
std::size_t declaredBodySize(const std::vector<std::uint8_t>& message) {
    return stk500::declaredBodySize(std::span(message).first<stk500::kHeaderSize>());
}

}  // namespace

std::vector<IncomingFramer::Piece> IncomingFramer::feed(std::span<const std::uint8_t> bytes) {
    std::vector<Piece> out;
    for (const std::uint8_t byte : bytes) take(byte, out);
    return out;
}

std::vector<IncomingFramer::Piece> IncomingFramer::flush() {
    std::vector<Piece> out;
    switch (state_) {
        case State::Idle: break;
        case State::Stray: emit(Kind::Unframed, kWhyStray, out); break;
        case State::Pulse: emit(Kind::PulseString, {}, out); break;
        case State::Stk500: emit(Kind::Unframed, kWhyIncompleteMessage, out); break;
    }
    return out;
}

void IncomingFramer::emit(Kind kind, std::string why, std::vector<Piece>& out) {
    out.push_back(Piece{kind, std::move(buffer_), std::move(why)});
    buffer_.clear();
    state_ = State::Idle;
}

void IncomingFramer::start(std::uint8_t byte, std::vector<Piece>& out) {
    if (byte == static_cast<std::uint8_t>(rc5::kFrameBoundary)) {
        state_ = State::Pulse;
    } else if (byte == stk500::kMessageStart) {
        state_ = State::Stk500;
    } else {
        state_ = State::Stray;
        buffer_.push_back(byte);
        if (buffer_.size() >= kStrayLimit) emit(Kind::Unframed, kWhyStray, out);
        return;
    }
    buffer_.push_back(byte);
}

void IncomingFramer::take(std::uint8_t byte, std::vector<Piece>& out) {
    const bool opensPiece = byte == static_cast<std::uint8_t>(rc5::kFrameBoundary) || byte == stk500::kMessageStart;
    switch (state_) {
        case State::Idle: start(byte, out); return;
        case State::Stray:
            if (opensPiece) emit(Kind::Unframed, kWhyStray, out);
            start(byte, out);
            return;
        case State::Pulse: {
            const bool closes = byte == static_cast<std::uint8_t>(rc5::kFrameBoundary) && buffer_.size() > 1 &&
                                buffer_.back() == static_cast<std::uint8_t>(rc5::kRunEnd);
            if (closes) {
                buffer_.push_back(byte);
                emit(Kind::PulseString, {}, out);
            } else if (opensPiece) {
                // A new string or message begins before this one was closed:
                // report the unclosed one as it is.
                emit(Kind::PulseString, {}, out);
                start(byte, out);
            } else {
                buffer_.push_back(byte);
                if (buffer_.size() >= kPulseStringLimit) emit(Kind::PulseString, {}, out);
            }
            return;
        }
        case State::Stk500:
            buffer_.push_back(byte);
            if (buffer_.size() == stk500::kHeaderSize) {
                if (buffer_[4] != stk500::kToken) {
                    emit(Kind::Unframed, kWhyNoToken, out);
                } else if (declaredBodySize(buffer_) > stk500::kBodyBufferSize) {
                    emit(Kind::Unframed, kWhyBodyTooLarge, out);
                }
            } else if (buffer_.size() > stk500::kHeaderSize &&
                       buffer_.size() == stk500::kHeaderSize + declaredBodySize(buffer_) + 1) {
                emit(Kind::Stk500Message, {}, out);
            }
            return;
    }
}

}  // namespace sim
