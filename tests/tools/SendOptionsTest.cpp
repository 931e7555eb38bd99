// The command lines of the two tools: key names, devices, numbers, and the
// nearest names offered for a mistyped one.

#include <gtest/gtest.h>

#include "tools/send/SendOptions.h"
#include "tools/sim/SimOptions.h"

TEST(SendOptions, ReadsKeyNamesDevicesAndNumbers) {
    std::string error;
    const std::vector<std::string> args{"--device=cd", "--toggle", "1", "PLAY", "-1", "0", "63", "up", "--", "stop"};
    const auto options = sender::parseSendOptions(args, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, sender::SendMode::Send);
    EXPECT_EQ(options->device, 20);
    EXPECT_EQ(options->toggle, 1);
    EXPECT_EQ(options->commands, (std::vector<int>{53, -1, 0, 63, 33, 54}));
    EXPECT_FALSE(options->port);

    const std::vector<std::string> address{"--print", "--device", "31", "ok"};
    const auto print = sender::parseSendOptions(address, error);
    ASSERT_TRUE(print) << error;
    EXPECT_EQ(print->mode, sender::SendMode::Print);
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
        {{"--device", "vrc", "1"},
         "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): vrc; did you mean VCR?"},
        {{"--device", "Radio", "1"}, "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): Radio"},
        {{"--device", "32", "1"}, "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): 32"},
    };
    for (const Case& c : send) {
        std::string error;
        EXPECT_FALSE(sender::parseSendOptions(c.args, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
    std::string error;
    const std::vector<std::string> mode{"--mode", "sielnt"};
    EXPECT_FALSE(sim::parseSimOptions(mode, error));
    EXPECT_EQ(error, "unknown answer mode sielnt; did you mean silent?");
}
