#pragma once
// Cuts what the program writes to the transmitter into the pieces it meant:
// pulse strings ('*' up to "~*") and STK500v2 messages (0x1B, a header that
// declares the body size, the body, a checksum). A pty delivers separate writes
// merged and single writes split, so pieces are found by their own framing,
// never by read boundaries. Bytes that belong to neither come out as unframed
// pieces, so that nothing is ever dropped without a report.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace sim {

class IncomingFramer {
public:
    enum class Kind {
        PulseString,    // starts with '*'; whether it is a valid one is for the decoder to say
        Stk500Message,  // complete by its declared size; the checksum is not judged here
        Unframed,       // anything else, with the reason in `why`
    };
    struct Piece {
        Kind kind;
        std::vector<std::uint8_t> bytes;
        std::string why;
    };

    // The pieces that the new bytes complete; the rest waits for more bytes.
    std::vector<Piece> feed(std::span<const std::uint8_t> bytes);

    // The line has gone quiet: whatever is waiting will not be completed.
    std::vector<Piece> flush();

    bool hasPending() const { return state_ != State::Idle; }

private:
    enum class State { Idle, Stray, Pulse, Stk500 };
    void take(std::uint8_t byte, std::vector<Piece>& out);
    void start(std::uint8_t byte, std::vector<Piece>& out);
    void emit(Kind kind, std::string why, std::vector<Piece>& out);

    State state_ = State::Idle;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace sim
