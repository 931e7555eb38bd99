// Key presses and the Device menu: what the user sees and what goes on the wire.

#include <QApplication>
#include <QKeyEvent>
#include <QMainWindow>

#include "core/PulseStringDecoder.h"
#include "tests/gui/ProgramFixture.h"
#include "toolkit/qt/QtPeers.h"

using namespace std::chrono_literals;

namespace {

struct Press {
    const char* device;  // Device item chosen before the press, or nullptr
    const char* button;
    const char* editTx;
    const char* status;
    int toggle, address, command;  // the frame on the wire, low 6 bits of the command
};

// One session, in order: the toggle bit alternates across device changes.
const Press kSession[] = {
    {nullptr, "BitBtn1", "0,1", "0001", 0, 0, 1},    {nullptr, "BitBtn1", "0,1", "0801", 1, 0, 1},
    {"VCR1", "BitBtn23", "5,-1", "013F", 0, 4, 63},  // -1 spills: address 4, command 63
    {"CD1", "BitBtn18", "20,53", "0D35", 1, 20, 53}, {"TV1", "BitBtn10", "0,-1", "FFFFFFFF", 1, 31, 63},
    {"Amp1", "BitBtn11", "16,0", "0C00", 1, 16, 0},
};

}  // namespace

TEST_F(ProgramTest, WithoutAPortAKeyPressChangesNothingAndSendsNothing) {
    startProgram();
    press(Form1->BitBtn1);
    EXPECT_EQ(Form1->EditTx->Text(), "-");
    EXPECT_EQ(status(), "");
    EXPECT_EQ(Form1->ToggleBit, 0);
    EXPECT_TRUE(debugLines().empty());
    EXPECT_EQ(wire(), "");
}

TEST_F(ProgramTest, FirstKeyOnTvWritesTheWholePulseStringAndLogsIt) {
    startProgram();
    choosePort();
    press(Form1->BitBtn1);
    EXPECT_EQ(wire(), "*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
    EXPECT_EQ(debugLines(), std::vector<std::string>{"0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*"});
    EXPECT_EQ(Form1->EditTx->Text(), "0,1");
    EXPECT_EQ(status(), "0001");
    EXPECT_EQ(Form1->ToggleBit, 1);
}

TEST_F(ProgramTest, KeysSendTheirCommandToTheChosenDeviceWithAlternatingToggle) {
    startProgram();
    choosePort();
    std::size_t lines = 0;
    for (const Press& p : kSession) {
        SCOPED_TRACE(std::string(p.button) + " after " + (p.device ? p.device : "-"));
        if (p.device != nullptr) {
            const std::string before = status();
            choose(dynamic_cast<TMenuItem*>(Form1->FindComponent(p.device)));
            EXPECT_EQ(status(), before);  // choosing a device sends nothing and shows nothing
            EXPECT_EQ(wire(20), "");
            for (int i = 0; i < Form1->MenuDevice->Count(); ++i)
                EXPECT_EQ(Form1->MenuDevice->Items(i)->Checked.get(), Form1->MenuDevice->Items(i)->Name == p.device);
        }
        press(dynamic_cast<TBitBtn*>(Form1->FindComponent(p.button)));
        EXPECT_EQ(Form1->EditTx->Text(), p.editTx);
        EXPECT_EQ(status(), p.status);
        const std::string sent = wire();
        std::string why;
        const auto frame = rc5::decodePulseString(sent, &why);
        ASSERT_TRUE(frame.has_value()) << sent << ": " << why;
        EXPECT_EQ(frame->toggle, p.toggle);
        EXPECT_EQ(frame->address, p.address);
        EXPECT_EQ(frame->command, p.command);
        const auto log = debugLines();
        ASSERT_EQ(log.size(), ++lines);
        EXPECT_EQ(log.back(), "0x" + std::string(p.status) + " -> " + sent);
    }
    EXPECT_EQ(Form1->EditRx->Text(), "-");  // nothing ever writes it
}

TEST_F(ProgramTest, ChoosingTheCheckedDeviceAgainKeepsAddressAndToggle) {
    startProgram();
    choosePort();
    choose(Form1->Sat1);
    press(Form1->BitBtn2);
    EXPECT_NE(wire(), "");
    choose(Form1->Sat1);
    EXPECT_TRUE(Form1->Sat1->Checked.get());
    EXPECT_EQ(Form1->DeviceAddress, 8);
    EXPECT_EQ(Form1->ToggleBit, 1);
    EXPECT_FALSE(Form1->TV1->Checked.get());
    EXPECT_EQ(wire(), "");
}

TEST_F(ProgramTest, SpaceAndEnterPressTheFocusedKeyWhichAtStartIsKeyOne) {
    const std::pair<const char*, Qt::Key> keys[] = {
        {"Space", Qt::Key_Space}, {"Enter", Qt::Key_Return}, {"Enter on the numeric keypad", Qt::Key_Enter}};
    for (const auto& [what, key] : keys) {
        SCOPED_TRACE(what);
        startProgram();
        choosePort();
        Form1->Show();
        QMainWindow* keypad = toolkit::qt::qtWindow(*Form1);
        keypad->activateWindow();
        ASSERT_TRUE(runUntil([] { return QApplication::focusWidget() != nullptr; }, 5s));
        QWidget* focused = QApplication::focusWidget();
        EXPECT_EQ(focused, toolkit::qt::qtWidget(*Form1->BitBtn1));
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r");
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, key == Qt::Key_Space ? " " : "\r");
        QApplication::sendEvent(focused, &down);
        QApplication::sendEvent(focused, &up);
        EXPECT_EQ(wire(), "*BbDbBbBbBbBbBbBbBbBbBbBdB~*");
        EXPECT_EQ(status(), "0001");
        EXPECT_EQ(Form1->EditTx->Text(), "0,1");
        TearDown();
        SetUp();
    }
}

TEST_F(ProgramTest, KeysPressedAfterTheTransmitterHungUpShowErrorAndAreStillLoggedAndToggled) {
    startProgram();
    choosePort();
    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "0001");
    EXPECT_FALSE(wire().empty());

    pty->hangUp();
    for (const char* line : {"0x0802 -> *BbBbDbBbBbBbBbBbBbBbBdD~*", "0x0002 -> *BbDbBbBbBbBbBbBbBbBbBdD~*"}) {
        SCOPED_TRACE(line);
        press(Form1->BitBtn2);
        EXPECT_EQ(status(), "error");
        EXPECT_EQ(debugLines().back(), line);
        EXPECT_EQ(Form1->EditTx->Text(), "0,2");
    }
    EXPECT_EQ(Form1->ToggleBit, 1);
    runFor(300ms);  // receive polls on the hung-up port find nothing and show nothing
    EXPECT_EQ(debugLines().size(), 3u);
    EXPECT_TRUE(boxes.empty());
}
