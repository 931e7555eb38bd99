// telvara-send --bootloader against every way the simulated transmitter can
// answer: the status text the program shows, and the exit status.

#include <gtest/gtest.h>

#include <ostream>

#include "ToolProcess.h"

using namespace tooltest;

namespace {

struct AnswerCase {
    std::string name;
    std::vector<std::string> simOptions;
    std::string status;
    int exitStatus;
};

// Shown by name, in test listings and failures alike; the bytes of the struct
// would name heap addresses that change from run to run.
void PrintTo(const AnswerCase& c, std::ostream* out) {
    *out << c.name;
}

class TelvaraSendBootloaderAnswers : public ::testing::TestWithParam<AnswerCase> {};

bool hasLine(const std::string& text, const std::string& line) {
    for (const auto& each : lines(text))
        if (each == line) return true;
    return false;
}

}  // namespace

TEST_P(TelvaraSendBootloaderAnswers, GiveTheStatusTextAndExitStatusOfTheOutcome) {
    const AnswerCase& c = GetParam();
    std::vector<std::string> argv{simPath()};
    argv.insert(argv.end(), c.simOptions.begin(), c.simOptions.end());
    argv.insert(argv.end(), {"--", sendPath(), "--bootloader"});
    const Finished done = run(argv);
    // The simulator ends with its command and passes its exit status on.
    EXPECT_EQ(done.status, c.exitStatus) << done.out << done.err;
    EXPECT_TRUE(hasLine(done.out, c.status)) << done.out;
    EXPECT_EQ(done.out.find("wrong line settings"), std::string::npos) << done.out;
    EXPECT_EQ(done.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TelvaraSendBootloaderAnswers,
    ::testing::Values(AnswerCase{"normal", {}, "Success!", 0}, AnswerCase{"silent", {"--mode", "silent"}, "No Sync", 1},
                      AnswerCase{"badChecksum", {"--mode", "bad-checksum"}, "No Sync", 1},
                      AnswerCase{"strayByte", {"--mode", "stray-byte"}, "No Sync", 1},
                      AnswerCase{"emptyBody", {"--mode", "empty-body"}, "Success!", 0},
                      AnswerCase{"oversizeBody", {"--mode", "oversize-body"}, "No Sync", 1},
                      AnswerCase{"failureStatus", {"--mode", "failure-status"}, "No Sync", 1},
                      AnswerCase{"signOnOnly", {"--mode", "signon-only"}, "upgrade Error!", 1},
                      AnswerCase{"zeros", {"--mode", "zeros"}, "No Sync", 1},
                      AnswerCase{"wrongSequence", {"--mode", "wrong-sequence"}, "No Sync", 1},
                      AnswerCase{"upgradeZeros", {"--upgrade-mode", "zeros"}, "upgrade Error!", 1},
                      AnswerCase{"upgradeWrongSequence", {"--upgrade-mode", "wrong-sequence"}, "upgrade Error!", 1},
                      AnswerCase{"upgradeFailureStatus", {"--upgrade-mode", "failure-status"}, "upgrade Error!", 1},
                      AnswerCase{"upgradeBadChecksum", {"--upgrade-mode", "bad-checksum"}, "upgrade Error!", 1},
                      AnswerCase{"upgradeSilent", {"--upgrade-mode", "silent"}, "upgrade Error!", 1}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

TEST(TelvaraSendBootloader, APortThatCannotBeOpenedGivesUnableToOpenPortAndItsName) {
    const Finished done = run({simPath(), "--", sendPath(), "--port", "ttyACM5", "--bootloader"});
    EXPECT_EQ(done.status, 1);
    EXPECT_TRUE(hasLine(done.out, "Unable to open Port ttyACM5")) << done.out;
}

TEST(TelvaraSendBootloader, OnlyTheSignOnIsSentWhenItIsNotAnswered) {
    const Finished done = run({simPath(), "--mode", "silent", "--", sendPath(), "--bootloader"});
    EXPECT_NE(done.out.find("stk500v2 sign-on (sequence 1): not answered"), std::string::npos) << done.out;
    EXPECT_EQ(done.out.find("firmware-upgrade"), std::string::npos) << done.out;
}
