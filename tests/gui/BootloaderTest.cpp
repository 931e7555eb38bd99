// "Activate Bootloader": the confirmation, then the exchange at 9600 8N1 with
// the test playing the transmitter, the status text, and no port afterwards.

#include <cstdio>
#include <thread>

#include "core/BootloaderActivation.h"
#include "core/Stk500Protocol.h"
#include "tests/gui/ProgramFixture.h"

using namespace std::chrono_literals;

namespace {

enum class Answer { None, Ok, Failed };

std::vector<std::uint8_t> answerFrame(std::uint8_t sequence, std::uint8_t command, std::uint8_t status) {
    const std::uint8_t body[] = {command, status};
    return stk500::frame(sequence, body);
}

// Plays the transmitter for one activation: takes the sign-on, answers as told,
// then takes the upgrade command if one comes and answers that as told.
class Transmitter {
public:
    Transmitter(PseudoTerminal& pty, Answer signOn, Answer upgrade)
        : thread_([this, &pty, signOn, upgrade] {
              signOn_ = pty.receiveExactly(7, 3000);
              if (signOn_.size() != 7 || signOn == Answer::None) {
                  rest_ = pty.drain(1200);
                  return;
              }
              pty.send(answerFrame(signOn_[1], stk500::kCmdSignOn,
                                   signOn == Answer::Ok ? stk500::kStatusCmdOk : stk500::kStatusCmdFailed));
              upgrade_ = pty.receiveExactly(17, 2000);
              if (upgrade_.size() == 17 && upgrade != Answer::None)
                  pty.send(answerFrame(upgrade_[1], stk500::kCmdFirmwareUpgrade,
                                       upgrade == Answer::Ok ? stk500::kStatusCmdOk : stk500::kStatusCmdFailed));
              rest_ = pty.drain(200);
          }) {}
    ~Transmitter() { join(); }
    void join() {
        if (thread_.joinable()) thread_.join();
    }

    std::vector<std::uint8_t> signOn_, upgrade_, rest_;

private:
    std::thread thread_;
};

struct Outcome {
    const char* what;
    Answer signOn, upgrade;
    const char* status;
    bool upgradeSent;
};

const Outcome kOutcomes[] = {
    {"silent transmitter", Answer::None, Answer::None, "No Sync", false},
    {"sign-on answered only", Answer::Ok, Answer::None, "upgrade Error!", true},
    {"both answered", Answer::Ok, Answer::Ok, "Success!", true},
    {"sign-on answered with a failure status", Answer::Failed, Answer::None, "No Sync", false},
    {"upgrade answered with a failure status", Answer::Ok, Answer::Failed, "upgrade Error!", true},
};

}  // namespace

TEST_F(ProgramTest, ActivationReportsEachOutcomeAndHoldsNoPortAfterwards) {
    for (const Outcome& o : kOutcomes) {
        SCOPED_TRACE(o.what);
        startProgram();
        choosePort();
        press(Form1->BitBtn1);
        wire();
        {
            Transmitter transmitter(*pty, o.signOn, o.upgrade);
            choose(Form1->ActivateBootloader1);
            transmitter.join();
            ASSERT_EQ(transmitter.signOn_.size(), 7u);
            EXPECT_EQ(transmitter.signOn_[0], stk500::kMessageStart);
            EXPECT_EQ(std::vector<std::uint8_t>(transmitter.signOn_.begin() + 2, transmitter.signOn_.begin() + 6),
                      (std::vector<std::uint8_t>{0, 1, stk500::kToken, stk500::kCmdSignOn}));
            EXPECT_EQ(transmitter.upgrade_.size() == 17, o.upgradeSent);
            if (o.upgradeSent) {
                EXPECT_EQ(transmitter.upgrade_[1], static_cast<std::uint8_t>(transmitter.signOn_[1] + 1));
                EXPECT_EQ(std::string(transmitter.upgrade_.begin() + 6, transmitter.upgrade_.begin() + 16),
                          bootloader::kAccessCode);
            }
            EXPECT_TRUE(transmitter.rest_.empty());
        }
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Are you sure to activate the bootloader?");
        EXPECT_EQ(boxes[0].caption, "TELVARA");
        EXPECT_EQ(boxes[0].flags, MB_OKCANCEL);
        EXPECT_EQ(status(), o.status);
        EXPECT_EQ(pty->slaveBaudRate(), 9600);
        EXPECT_EQ(CurrentPort, nullptr);
        EXPECT_EQ(portHandlesOpen(), 0);

        // No port: keys do nothing until a port is chosen again, and the item stays checked.
        press(Form1->BitBtn2);
        EXPECT_EQ(status(), o.status);
        EXPECT_EQ(wire(), "");
        EXPECT_TRUE(Form1->MenuPort->Items(0)->Checked.get());
        choosePort();
        EXPECT_EQ(pty->slaveBaudRate(), 2400);
        TearDown();
        boxes.clear();
        SetUp();
    }
}

TEST_F(ProgramTest, CancelLeavesThePortOpenAndTheTimerPollingWhileTheBoxIsShown) {
    startProgram();
    choosePort();
    boxAnswer = IDCANCEL;
    whileBoxShown = [this] {
        pty->send("during the box");
        EXPECT_TRUE(runUntil([this] { return !debugLines().empty(); }, 2s));
    };
    choose(Form1->ActivateBootloader1);
    EXPECT_EQ(debugLines(), std::vector<std::string>{"during the box"});
    EXPECT_EQ(status(), "ttyACM0");
    EXPECT_EQ(portHandlesOpen(), 1);
    EXPECT_EQ(pty->slaveBaudRate(), 2400);
    press(Form1->BitBtn1);
    EXPECT_EQ(wire(), "*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
}

TEST_F(ProgramTest, WithNoPortChosenActivationCannotOpenAPort) {
    startProgram();
    choose(Form1->ActivateBootloader1);
    EXPECT_EQ(status(), "Unable to open Port ");
    EXPECT_EQ(CurrentPort, nullptr);
}

TEST_F(ProgramTest, AnUnpluggedTransmitterCannotBeReopenedAndThePortIsGiven) {
    startProgram();
    choosePort();
    ASSERT_EQ(std::remove((tree->root() + "/dev/ttyACM0").c_str()), 0);
    choose(Form1->ActivateBootloader1);
    EXPECT_EQ(status(), "Unable to open Port ttyACM0");
    EXPECT_EQ(portHandlesOpen(), 0);
    EXPECT_EQ(CurrentPort, nullptr);
}
