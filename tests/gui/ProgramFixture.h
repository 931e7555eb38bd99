#pragma once
// The program as a user meets it: started as the entry starts it (startProgram),
// offscreen Qt widgets, and a pseudo-terminal presented as the USB serial port
// ttyACM0, on whose master side the test plays the transmitter.

#include <gtest/gtest.h>

#include <QAction>
#include <QPushButton>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"
#include "toolkit/Application.h"

struct ShownBox {
    std::string text;
    std::string caption;
    int flags;
};

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // What a user does, through the real widgets.
    void press(TBitBtn* button);
    void choose(TMenuItem* item);
    void choosePort(int index = 0) { choose(Form1->MenuPort->Items(index)); }

    // Lets the event loop run (timer ticks included) until `done` or the time is up.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);
    void runFor(std::chrono::milliseconds time);

    std::vector<std::string> debugLines() const;  // the memo's lines, in order
    std::string status() const { return Form1->StatusBar->Text; }
    std::string wire(int quietMs = 50) const;  // what the program wrote since the last look
    // Descriptors of this process open on the pty's slave, other than the pty's own.
    int portHandlesOpen() const;

    std::unique_ptr<PseudoTerminal> pty;
    std::unique_ptr<SimulatedDeviceTree> tree;
    std::vector<ShownBox> boxes;  // every message box the program showed
    int boxAnswer = IDOK;
    std::function<void()> whileBoxShown;  // runs inside the box, before the answer
};
