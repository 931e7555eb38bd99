#pragma once
// A pseudo-terminal presented to the program as the USB serial port ttyACM0
// through a fake device tree: the test holds the transmitter's end.

#include <cstdlib>
#include <string>

#include "simulation/PseudoTerminal.h"
#include "simulation/SimulatedDeviceTree.h"

inline constexpr const char* kTestPortName = "ttyACM0";

class PortUnderTest {
public:
    PortUnderTest() {
        tree.addTty(kTestPortName, "cdc_acm", transmitter.slavePath());
        ::setenv("TELVARA_ROOT", tree.root().c_str(), 1);
    }
    ~PortUnderTest() { ::unsetenv("TELVARA_ROOT"); }
    PortUnderTest(const PortUnderTest&) = delete;
    PortUnderTest& operator=(const PortUnderTest&) = delete;

    PseudoTerminal transmitter;
    SimulatedDeviceTree tree;
};
