#pragma once
// The simulated transmitter at work on the master side of a pty: takes what
// the program wrote, reports every piece of it, answers STK500v2 messages and
// sends the text it was asked to send.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <termios.h>

#include "tools/sim/IncomingFramer.h"
#include "tools/sim/LineSettingsCheck.h"
#include "tools/sim/SimOptions.h"
#include "tools/sim/Stk500Responder.h"

class PseudoTerminal;

namespace sim {

class Simulator {
public:
    // Reports go to `out`, one line each, flushed at once.
    Simulator(const SimOptions& options, PseudoTerminal& pty, std::FILE* out);

    // Handles what arrives within waitMs (or has arrived); returns at the first batch or after waitMs.
    void serve(int waitMs);

    // Takes everything still on its way, then reports what is left unfinished.
    void finish();

private:
    using Clock = std::chrono::steady_clock;
    void take(std::span<const std::uint8_t> bytes);
    void flushUnfinished();
    void handle(const IncomingFramer::Piece& piece, const ObservedLine& line);
    ObservedLine observeLine() const;
    void sendText(std::span<const std::uint8_t> text);
    void report(const std::string& line);
    bool portWasSetUp() const;
    // True when the frame `text` repeats the one before it: a key held down.
    bool repeatsHeldKey(std::string_view text, Clock::time_point now);
    void endHold();

    const SimOptions& options_;
    PseudoTerminal& pty_;
    std::FILE* out_;
    IncomingFramer framer_;
    Stk500Responder responder_;
    Clock::time_point lastByte_{};
    std::optional<ObservedLine> pendingLine_;  // when the unfinished piece began
    termios initialSettings_{};
    bool said_ = false;
    Clock::time_point setUpSeen_{};
    bool setUpNoticed_ = false;

    // The key last pressed, while its frames may still be repeats of it.
    struct HeldKey {
        std::string frame;
        Clock::time_point last;
        int repeats = 0;
        Clock::duration shortest{};
        Clock::duration longest{};
        Clock::duration total{};
    };
    std::optional<HeldKey> held_;
};

}  // namespace sim
