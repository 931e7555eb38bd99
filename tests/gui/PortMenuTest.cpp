// The Port menu: filled from the device map at start, opening the chosen port
// at 2400 8O1, reporting "error", and never holding two ports.

#include <QMenuBar>
#include <unistd.h>

#include "tests/gui/ProgramFixture.h"
#include "toolkit/qt/QtPeers.h"

TEST_F(ProgramTest, PortMenuListsTheUsbSerialPortsPresentAtStartUncheckedInNameOrder) {
    PseudoTerminal second;
    ASSERT_TRUE(tree->addTty("ttyACM1", "cdc_acm", second.slavePath()));
    ASSERT_TRUE(tree->addTty("ttyS0", "serial8250", pty->slavePath()));  // not a USB serial device
    ASSERT_TRUE(tree->addTtyWithoutDriver("tty1"));
    startProgram();
    ASSERT_EQ(Form1->MenuPort->Count(), 2);
    const char* names[] = {"ttyACM0", "ttyACM1"};
    const char* shown[] = {"&ttyACM0", "tt&yACM1"};
    for (int i = 0; i < 2; ++i) {
        TMenuItem* item = Form1->MenuPort->Items(i);
        EXPECT_EQ(item->Caption.get(), names[i]);
        EXPECT_EQ(item->Hint, names[i]);
        EXPECT_EQ(toolkit::qt::qtAction(*item)->text(), QString::fromLatin1(shown[i]));
        EXPECT_FALSE(item->Checked.get());
        EXPECT_TRUE(item->RadioItem.get());
        EXPECT_EQ(item->GroupIndex.get(), 2);
    }
    EXPECT_EQ(CurrentPort, nullptr);  // nothing is opened at start

    ASSERT_TRUE(tree->addTty("ttyACM2", "cdc_acm", second.slavePath()));
    runFor(std::chrono::milliseconds(150));
    EXPECT_EQ(Form1->MenuPort->Count(), 2);  // read once, at start
}

TEST_F(ProgramTest, WithoutUsbSerialPortsPortIsABarEntryThatDoesNothing) {
    tree = std::make_unique<SimulatedDeviceTree>();
    ::setenv("TELVARA_ROOT", tree->root().c_str(), 1);
    startProgram();
    EXPECT_EQ(Form1->MenuPort->Count(), 0);
    QAction* entry = toolkit::qt::qtAction(*Form1->MenuPort);
    EXPECT_EQ(entry->menu(), nullptr);  // no empty popup
    EXPECT_TRUE(toolkit::qt::qtWindow(*Form1)->menuBar()->actions().contains(entry));
    entry->trigger();
    EXPECT_EQ(status(), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ProgramTest, ChoosingAPortOpensItAt2400OddParityAndShowsItsName) {
    startProgram();
    choosePort();
    EXPECT_EQ(status(), "ttyACM0");
    EXPECT_EQ(Form1->PortName, "ttyACM0");
    EXPECT_TRUE(Form1->MenuPort->Items(0)->Checked.get());
    EXPECT_TRUE(Form1->TV1->Checked.get());  // another radio group
    EXPECT_EQ(portHandlesOpen(), 1);
    EXPECT_EQ(pty->slaveBaudRate(), 2400);
    EXPECT_TRUE(pty->slaveParityOdd());
    EXPECT_FALSE(pty->slaveTwoStopBits());

    // Choosing it again closes and reopens it: still one port, bytes waiting are dropped.
    ASSERT_TRUE(pty->send("stale"));
    choosePort();
    EXPECT_EQ(portHandlesOpen(), 1);
    EXPECT_EQ(pty->slaveInputPending(), 0);
}

TEST_F(ProgramTest, APortThatCannotBeOpenedShowsErrorKeepsItsNameAndHoldsNoPort) {
    PseudoTerminal second;
    ASSERT_TRUE(tree->addTty("ttyACM1", "cdc_acm", second.slavePath()));
    ASSERT_TRUE(tree->addTty("ttyACM2", "cdc_acm", ""));  // listed, but its device node is gone
    startProgram();
    ASSERT_EQ(Form1->MenuPort->Count(), 3);

    choosePort(0);
    EXPECT_EQ(portHandlesOpen(), 1);
    choosePort(1);  // switching closes the first port before opening the second
    EXPECT_EQ(status(), "ttyACM1");
    EXPECT_EQ(portHandlesOpen(), 0);
    EXPECT_TRUE(Form1->MenuPort->Items(1)->Checked.get());
    EXPECT_FALSE(Form1->MenuPort->Items(0)->Checked.get());

    // The status bar says only "error"; standard error says why, in one line.
    testing::internal::CaptureStderr();
    choosePort(2);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "TELVARA: cannot open port ttyACM2: " + tree->root() + "/dev/ttyACM2: No such file or directory\n");
    EXPECT_EQ(status(), "error");
    EXPECT_EQ(Form1->PortName, "ttyACM2");
    EXPECT_TRUE(Form1->MenuPort->Items(2)->Checked.get());
    EXPECT_EQ(CurrentPort, nullptr);
    press(Form1->BitBtn1);
    EXPECT_EQ(status(), "error");  // no port, so the key did nothing
    EXPECT_EQ(wire(), "");
    EXPECT_TRUE(second.drain(50).empty());
    EXPECT_TRUE(boxes.empty());  // failures are told in the status bar only
}
