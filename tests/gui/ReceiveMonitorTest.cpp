// The receive monitor: what the transmitter sends shows in the debug window,
// one line per 100 ms poll, at most 128 bytes a poll, cut at the first 0 byte.

#include <QPlainTextEdit>

#include "tests/gui/ProgramFixture.h"
#include "toolkit/qt/QtPeers.h"

using namespace std::chrono_literals;

TEST_F(ProgramTest, NothingIsReadWhileNoPortIsHeld) {
    startProgram();
    ASSERT_TRUE(pty->sendAndAwaitArrival("hello"));
    runFor(350ms);
    EXPECT_TRUE(debugLines().empty());
    EXPECT_EQ(pty->slaveInputPending(), 5);  // still waiting, unread
}

TEST_F(ProgramTest, AnIdlePortAddsNoLines) {
    startProgram();
    choosePort();
    runFor(350ms);
    EXPECT_TRUE(debugLines().empty());
}

TEST_F(ProgramTest, ThreeHundredBytesGiveLinesOf128And128And44OnConsecutivePolls) {
    startProgram();
    choosePort();
    std::string bytes;
    for (int i = 0; i < 300; ++i) bytes += static_cast<char>('a' + i % 26);
    Form1->Timer1->Enabled = false;  // all 300 must be waiting before the first poll
    ASSERT_TRUE(pty->send(bytes));
    ASSERT_TRUE(runUntil([this] { return pty->slaveInputPending() == 300; }, 2s));
    Form1->Timer1->Enabled = true;
    ASSERT_TRUE(runUntil([this] { return debugLines().size() >= 3; }, 2s));
    runFor(150ms);
    const auto lines = debugLines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], bytes.substr(0, 128));
    EXPECT_EQ(lines[1], bytes.substr(128, 128));
    EXPECT_EQ(lines[2], bytes.substr(256));
}

TEST_F(ProgramTest, EachBatchBecomesOneLineAsTheBytesCame) {
    struct Batch {
        std::string bytes;
        std::vector<std::string> lines;  // what the batch adds to the memo
    };
    const Batch batches[] = {
        {std::string("A\0B", 3), {"A"}},     // cut at the first 0 byte
        {std::string("\0xyz", 4), {""}},     // an empty line
        {"one\r\ntwo", {"one", "two"}},      // one append, shown as two lines
        {"caf\xe9 \xff", {"caf\xe9 \xff"}},  // bytes above 127, one character each
    };
    startProgram();
    choosePort();
    std::vector<std::string> expected;
    for (const Batch& b : batches) {
        ASSERT_TRUE(pty->send(b.bytes));
        expected.insert(expected.end(), b.lines.begin(), b.lines.end());
        EXPECT_TRUE(runUntil([&] { return debugLines().size() >= expected.size(); }, 2s));
        EXPECT_EQ(debugLines(), expected);
    }
    auto* memo = qobject_cast<QPlainTextEdit*>(toolkit::qt::qtWidget(*FormDebug->Memo1));
    EXPECT_TRUE(memo->toPlainText().endsWith(QString::fromUtf8("caf\u00e9 \u00ff\n")));
    EXPECT_EQ(Form1->EditRx->Text(), "-");
    EXPECT_FALSE(FormDebug->Visible.get());  // appended while hidden
}
