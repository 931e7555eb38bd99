// The tools' parts where a fault would be hard to see from outside: how the
// simulator cuts the byte stream into pieces, its escapes, and the sender's
// command line and state directory.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/stat.h>

#include "tools/send/SendOptions.h"
#include "tools/sim/SimOptions.h"
#include "tools/send/ToggleStore.h"
#include "tools/common/ByteEscapes.h"
#include "tools/sim/FrameReport.h"
#include "tools/sim/IncomingFramer.h"
#include "tools/sim/Stk500Responder.h"

namespace {

using Kind = sim::IncomingFramer::Kind;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

struct Cut {
    Kind kind;
    std::string bytes;
};

std::vector<Cut> cutAll(const std::string& stream, std::size_t chunk) {
    sim::IncomingFramer framer;
    std::vector<Cut> cuts;
    const auto bytes = bytesOf(stream);
    auto keep = [&](const std::vector<sim::IncomingFramer::Piece>& pieces) {
        for (const auto& piece : pieces) cuts.push_back({piece.kind, std::string(piece.bytes.begin(), piece.bytes.end())});
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
        {std::string("\x1B\x01\x00\x01\x0F", 5) + "x", {{Kind::Unframed, std::string("\x1B\x01\x00\x01\x0F", 5)}, {Kind::Unframed, "x"}}},
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
        static constexpr std::uint8_t kInteresting[] = {'*', '~', 'B', 'b', 'D', 'd', 0x1B, 0x0E, 0x00, 0x01, 0x07, 0xFF};
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

TEST(ByteEscapes, EveryByteSurvivesTheRoundTripAndBadEscapesAreRefused) {
    std::vector<std::uint8_t> all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
    const std::string text = tools::escapeBytes(all);
    EXPECT_EQ(tools::unescapeBytes(text), all);
    for (const std::string bad : {"\\", "ab\\q", "\\x4", "\\xZZ"}) EXPECT_FALSE(tools::unescapeBytes(bad)) << bad;
    EXPECT_EQ(tools::unescapeBytes("OK\\r\\n\\x41\\0"), bytesOf(std::string("OK\r\nA\0", 6)));
}

TEST(SendOptions, ReadsKeyNamesDevicesAndNumbers) {
    std::string error;
    const std::vector<std::string> args{"--device=cd", "--toggle", "1", "PLAY", "-1", "0", "63", "up", "--", "stop"};
    const auto options = send::parseSendOptions(args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, send::SendMode::Send);
    EXPECT_EQ(options->device, 20);
    EXPECT_EQ(options->toggle, 1);
    EXPECT_EQ(options->commands, (std::vector<int>{53, -1, 0, 63, 33, 54}));
    EXPECT_FALSE(options->port);

    const std::vector<std::string> address{"--print", "--device", "31", "ok"};
    const auto print = send::parseSendOptions(address, error);
    ASSERT_TRUE(print) << error;
    EXPECT_EQ(print->mode, send::SendMode::Print);
    EXPECT_EQ(print->device, 31);
}

TEST(CommandLines, MistypedNamesAreAnsweredWithTheNearestNames) {
    struct Case {
        std::vector<std::string> args;
        std::string error;
    };
    const std::vector<Case> send{
        {{"paly"}, "unknown key name paly; did you mean play?"},
        {{"STPO"}, "unknown key name STPO; did you mean stop?"},
        {{"forw"}, "unknown key name forw; did you mean forward?"},
        {{"op"}, "unknown key name op; did you mean up or ok?"},
        {{"recrod"}, "unknown key name recrod; did you mean record?"},
        {{"xyzzy"}, "unknown key name xyzzy"},
        {{"--device", "vrc", "1"}, "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): vrc; did you mean VCR?"},
        {{"--device", "Radio", "1"}, "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): Radio"},
        {{"--device", "32", "1"}, "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): 32"},
    };
    for (const Case& c : send) {
        std::string error;
        EXPECT_FALSE(send::parseSendOptions(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    const std::vector<std::string> mode{"--mode", "sielnt"};
    EXPECT_FALSE(sim::parseSimOptions(mode, error));
    EXPECT_EQ(error, "unknown answer mode sielnt; did you mean silent?");
}

TEST(ToggleStore, RefusesAStateDirectoryThatIsNotPrivate) {
    const auto base = std::filesystem::temp_directory_path() / ("telvara-store-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(base / "elsewhere");
    ::setenv("XDG_RUNTIME_DIR", base.c_str(), 1);
    std::string error;

    // A link put in place of the directory would send the state file elsewhere.
    std::filesystem::create_directory_symlink(base / "elsewhere", base / "telvara");
    EXPECT_FALSE(send::ToggleStore::open(error));
    std::filesystem::remove(base / "telvara");

    std::filesystem::create_directory(base / "telvara");
    ::chmod((base / "telvara").c_str(), 0777);
    EXPECT_FALSE(send::ToggleStore::open(error));
    ::chmod((base / "telvara").c_str(), 0700);

    const auto store = send::ToggleStore::open(error);
    ASSERT_TRUE(store) << error;
    EXPECT_EQ(store->load("../../etc/passwd"), 0);
    EXPECT_TRUE(store->save("../x", 1, error)) << error;
    EXPECT_EQ(store->load("../x"), 1);
    EXPECT_FALSE(std::filesystem::exists(base / "x"));

    ::unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(base);
}
