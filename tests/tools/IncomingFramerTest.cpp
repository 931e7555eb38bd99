// How the simulator cuts the byte stream into pulse strings, STK500v2 messages
// and stray bytes, whatever the read boundaries, and that no byte goes unreported.

#include <gtest/gtest.h>

#include <random>

#include "tools/common/ByteEscapes.h"
#include "tools/sim/FrameReport.h"
#include "tools/sim/IncomingFramer.h"
#include "tools/sim/Stk500Responder.h"

namespace {

using Kind = sim::IncomingFramer::Kind;

std::vector<std::uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

struct Cut {
    Kind kind;
    std::string bytes;
};

std::vector<Cut> cutAll(const std::string& stream, std::size_t chunk) {
    sim::IncomingFramer framer;
    std::vector<Cut> cuts;
    const auto bytes = bytesOf(stream);
    auto keep = [&](const std::vector<sim::IncomingFramer::Piece>& pieces) {
        for (const auto& piece : pieces)
            cuts.push_back({piece.kind, std::string(piece.bytes.begin(), piece.bytes.end())});
    };
    for (std::size_t at = 0; at < bytes.size(); at += chunk)
        keep(framer.feed(std::span(bytes).subspan(at, std::min(chunk, bytes.size() - at))));
    keep(framer.flush());
    return cuts;
}

const std::string kSignOn("\x1B\x01\x00\x01\x0E\x01\x14", 7);

}  // namespace

TEST(IncomingFramer, FindsThePiecesWhateverTheReadBoundaries) {
    struct Case {
        std::string stream;
        std::vector<Cut> pieces;
    };
    const std::vector<Case> cases{
        {"*BbB~**BbD~*", {{Kind::PulseString, "*BbB~*"}, {Kind::PulseString, "*BbD~*"}}},
        {"ab*Bb~*", {{Kind::Unframed, "ab"}, {Kind::PulseString, "*Bb~*"}}},
        {"*BbDb*Bb~*", {{Kind::PulseString, "*BbDb"}, {Kind::PulseString, "*Bb~*"}}},
        {"*Bb" + kSignOn, {{Kind::PulseString, "*Bb"}, {Kind::Stk500Message, kSignOn}}},
        {kSignOn + "*Bb~*", {{Kind::Stk500Message, kSignOn}, {Kind::PulseString, "*Bb~*"}}},
        {std::string("\x1B\x01\x00\x01\x0F", 5) + "x",
         {{Kind::Unframed, std::string("\x1B\x01\x00\x01\x0F", 5)}, {Kind::Unframed, "x"}}},
        {std::string("\x1B\x01\x01\x19\x0E", 5), {{Kind::Unframed, std::string("\x1B\x01\x01\x19\x0E", 5)}}},
        {kSignOn.substr(0, 6), {{Kind::Unframed, kSignOn.substr(0, 6)}}},
        {"*BbDb", {{Kind::PulseString, "*BbDb"}}},
    };
    for (const Case& c : cases) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, c.stream.size()}) {
            const auto cuts = cutAll(c.stream, chunk);
            ASSERT_EQ(cuts.size(), c.pieces.size()) << tools::escapeBytes(bytesOf(c.stream)) << " chunk " << chunk;
            for (std::size_t i = 0; i < cuts.size(); ++i) {
                EXPECT_EQ(cuts[i].kind, c.pieces[i].kind) << tools::escapeBytes(bytesOf(c.stream)) << " piece " << i;
                EXPECT_EQ(cuts[i].bytes, c.pieces[i].bytes) << tools::escapeBytes(bytesOf(c.stream)) << " piece " << i;
            }
        }
    }
}

TEST(IncomingFramer, NeverHoldsAnEndlessStreamWithoutReportingIt) {
    sim::IncomingFramer framer;
    std::size_t reported = 0;
    std::vector<std::uint8_t> stream(1001, 'B');
    stream[0] = '*';
    for (const auto& piece : framer.feed(stream)) reported += piece.bytes.size();
    for (const auto& piece : framer.flush()) reported += piece.bytes.size();
    EXPECT_EQ(reported, stream.size());
}

TEST(IncomingFramer, AccountsForEveryByteOfArbitraryInputAndEveryMessageGetsAnAnswerOrSilence) {
    // Whatever a program writes, each byte turns up in exactly one report, and
    // the bootloader side copes with every message the framer hands it.
    std::mt19937 random(20261209);
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint8_t> stream(random() % 600);
        // Mostly the bytes that matter to the framing, so that pieces actually form.
        static constexpr std::uint8_t kInteresting[] = {'*',  '~',  'B',  'b',  'D',  'd',
                                                        0x1B, 0x0E, 0x00, 0x01, 0x07, 0xFF};
        for (auto& byte : stream)
            byte = random() % 4 ? kInteresting[random() % sizeof kInteresting] : static_cast<std::uint8_t>(random());
        sim::IncomingFramer framer;
        sim::Stk500Responder responder(sim::answerModeNames()[round % sim::answerModeNames().size()].mode);
        std::size_t accounted = 0;
        auto take = [&](const std::vector<sim::IncomingFramer::Piece>& pieces) {
            for (const auto& piece : pieces) {
                accounted += piece.bytes.size();
                if (piece.kind == Kind::Stk500Message) {
                    EXPECT_FALSE(responder.answer(piece.bytes).report.empty());
                }
                if (piece.kind == Kind::PulseString) {
                    EXPECT_FALSE(sim::pulseStringReport(piece.bytes).empty());
                }
            }
        };
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t chunk = std::min<std::size_t>(1 + random() % 40, stream.size() - at);
            take(framer.feed(std::span(stream).subspan(at, chunk)));
            at += chunk;
        }
        take(framer.flush());
        EXPECT_EQ(accounted, stream.size()) << "round " << round;
    }
}
