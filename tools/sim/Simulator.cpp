#include "tools/sim/Simulator.h"

#include <algorithm>
#include <string>

#include "core/KeypadLine.h"
#include "core/Rc5.h"

#include "core/PulseStringDecoder.h"
#include "simulation/PseudoTerminal.h"
#include "tools/common/ByteEscapes.h"
#include "tools/sim/FrameReport.h"
#include "tools/sim/IrTimeline.h"
#include "tools/sim/LineSettingsCheck.h"

namespace sim {
namespace {

constexpr std::size_t kReadChunk = 4096;
// Bytes of an unfinished piece are reported once the line has been quiet this long.
constexpr auto kQuiet = std::chrono::milliseconds(200);
// The program empties its queues right after setting up the port; text sent
// before that would be thrown away with them.
constexpr auto kSettle = std::chrono::milliseconds(200);

// The time from one frame of a held key to the next: one RC-5 frame period,
// or the string's time on the wire where that is longer.
std::chrono::microseconds repeatPeriod(std::size_t pulseStringLength) {
    return std::chrono::microseconds(
        std::max<long long>(rc5::kFramePeriodMicroseconds, keypadWireMicroseconds(pulseStringLength)));
}

// A frame that comes again, toggle bit and all, in the next repeat slot of the
// one before (a quarter period early to a quarter period late) is a repeat of
// a held key. Sooner is two writes of one frame; later, with the pause the
// sender makes between presses, is a key pressed again.
bool inRepeatSlot(std::chrono::steady_clock::duration spacing, std::size_t pulseStringLength) {
    const auto period = repeatPeriod(pulseStringLength);
    return spacing >= period * 3 / 4 && spacing <= period * 5 / 4;
}

constexpr const char* kTimelinePrefix = "  ir: ";
constexpr const char* kHeldHead = "  held: repeated ";
constexpr const char* kHeldTimes = " times, every ";
constexpr const char* kHeldRange = " ms (";
constexpr const char* kHeldTo = " to ";
constexpr const char* kHeldTail = " ms apart)";
constexpr const char* kSent = "sent ";
constexpr const char* kBytes = " bytes: ";
constexpr const char* kNotTaken = "could not send (the line took nothing for a second): ";

bool sameSettings(const termios& a, const termios& b) {
    return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag && a.c_lflag == b.c_lflag &&
           cfgetispeed(&a) == cfgetispeed(&b) && cfgetospeed(&a) == cfgetospeed(&b);
}

}  // namespace

Simulator::Simulator(const SimOptions& options, PseudoTerminal& pty, std::FILE* out)
    : options_(options), pty_(pty), out_(out), responder_(options.mode, options.upgradeMode) {
    pty_.slaveSettings(initialSettings_);
}

void Simulator::serve(int waitMs) {
    const auto bytes = pty_.receive(kReadChunk, waitMs);
    const auto now = Clock::now();
    if (!bytes.empty()) {
        lastByte_ = now;
        take(bytes);
    } else if (framer_.hasPending() && now - lastByte_ >= kQuiet) {
        flushUnfinished();
    }
    if (held_ && now - held_->last > repeatPeriod(held_->frame.size()) * 5 / 4) endHold();
    if (options_.say && !said_) {
        if (!setUpNoticed_ && portWasSetUp()) {
            setUpNoticed_ = true;
            setUpSeen_ = now;
        }
        if (setUpNoticed_ && now - setUpSeen_ >= kSettle) {
            sendText(*options_.say);
            said_ = true;
        }
    }
}

void Simulator::finish() {
    for (;;) {
        const auto bytes = pty_.receive(kReadChunk, static_cast<int>(kQuiet.count()));
        if (bytes.empty()) break;
        take(bytes);
    }
    flushUnfinished();
    endHold();
}

bool Simulator::repeatsHeldKey(std::string_view text, Clock::time_point now) {
    if (held_ && held_->frame == text && inRepeatSlot(now - held_->last, text.size())) {
        const auto spacing = now - held_->last;
        held_->shortest = held_->repeats == 0 ? spacing : std::min(held_->shortest, spacing);
        held_->longest = std::max(held_->longest, spacing);
        held_->total += spacing;
        held_->last = now;
        ++held_->repeats;
        return true;
    }
    endHold();
    held_ = HeldKey{std::string(text), now};
    return false;
}

// Said once the key is let go: one press, and how often and how evenly it repeated.
void Simulator::endHold() {
    if (!held_) return;
    const HeldKey key = *held_;
    held_.reset();
    if (key.repeats == 0) return;
    auto ms = [](Clock::duration d) {
        return std::to_string(std::chrono::round<std::chrono::milliseconds>(d).count());
    };
    report(kHeldHead + std::to_string(key.repeats) + kHeldTimes + ms(key.total / key.repeats) + kHeldRange +
           ms(key.shortest) + kHeldTo + ms(key.longest) + kHeldTail);
}

ObservedLine Simulator::observeLine() const {
    return {pty_.slaveBaudRate(), pty_.slaveParityOdd()};
}

void Simulator::take(std::span<const std::uint8_t> bytes) {
    // A piece is judged by the settings in force when its first bytes came: the
    // program may have reopened the port differently by the time it is complete.
    const ObservedLine now = observeLine();
    const bool wasPending = framer_.hasPending();
    const auto pieces = framer_.feed(bytes);
    for (std::size_t i = 0; i < pieces.size(); ++i)
        handle(pieces[i], i == 0 && wasPending && pendingLine_ ? *pendingLine_ : now);
    if (!framer_.hasPending())
        pendingLine_.reset();
    else if (!wasPending || !pieces.empty())
        pendingLine_ = now;
}

void Simulator::flushUnfinished() {
    const ObservedLine line = pendingLine_.value_or(observeLine());
    for (const auto& piece : framer_.flush()) handle(piece, line);
    pendingLine_.reset();
}

bool Simulator::portWasSetUp() const {
    termios now{};
    return pty_.slaveSettings(now) && !sameSettings(now, initialSettings_);
}

void Simulator::handle(const IncomingFramer::Piece& piece, const ObservedLine& line) {
    switch (piece.kind) {
        case IncomingFramer::Kind::PulseString: {
            const std::string_view text(reinterpret_cast<const char*>(piece.bytes.data()), piece.bytes.size());
            const bool valid = rc5::decodePulseString(text).has_value();
            // A held key is one press: its repeats are counted, not listed.
            const bool repeat = valid && repeatsHeldKey(text, Clock::now());
            if (!valid) endHold();
            if (!repeat) report(pulseStringReport(piece.bytes));
            if (const auto mismatch = lineSettingsMismatch(Traffic::PulseString, line)) report(*mismatch);
            // Only a frame the transmitter would replay has a timeline and earns an acknowledgement.
            if (!valid) break;
            if (options_.timeline && !repeat) report(kTimelinePrefix + irTimeline(text).value_or(""));
            if (options_.ack) sendText(*options_.ack);
            break;
        }
        case IncomingFramer::Kind::Stk500Message: {
            endHold();
            if (const auto mismatch = lineSettingsMismatch(Traffic::Stk500, line)) report(*mismatch);
            const Stk500Reply reply = responder_.answer(piece.bytes);
            report(reply.report);
            if (!reply.bytes.empty() && !pty_.send(reply.bytes)) report(kNotTaken + tools::escapeBytes(reply.bytes));
            break;
        }
        case IncomingFramer::Kind::Unframed:
            endHold();
            report(unframedReport(piece.bytes, piece.why));
            break;
    }
}

void Simulator::sendText(std::span<const std::uint8_t> text) {
    const std::vector<std::uint8_t> bytes(text.begin(), text.end());
    if (pty_.send(bytes))
        report(kSent + std::to_string(bytes.size()) + kBytes + tools::escapeBytes(bytes));
    else
        report(kNotTaken + tools::escapeBytes(bytes));
}

void Simulator::report(const std::string& line) {
    std::fputs(line.c_str(), out_);
    std::fputc('\n', out_);
    std::fflush(out_);
}

}  // namespace sim
