// How closely the serial port under wine keeps a read's total time-out: reads
// from a silent transmitter, each asked to wait a given time, and the time they
// took. Prints figures, asserts nothing; scripts/test-windows runs it when
// TELVARA_WINDOWS_PROBE=1, in the same wine session and null modem as the tests.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include "TestPorts.h"
#include "core/KeypadLine.h"
#include "platform/serialInterface.h"

int main() {
    std::unique_ptr<serialInterface> port(openPort(wintest::kProgramPort, kKeypadBaudRate, kKeypadLineFormat));
    if (!port) {
        std::printf("probe: %s cannot be opened\n", wintest::kProgramPort);
        return 1;
    }
    constexpr int kRounds = 9;
    std::printf("%10s %12s %12s %12s %10s\n", "asked ms", "min ms", "median ms", "max ms", "median/asked");
    for (int asked : {0, 1, 5, 10, 50, 100, 500}) {
        std::vector<double> took;
        char buffer[128];
        for (int round = 0; round < kRounds; ++round) {
            const auto start = std::chrono::steady_clock::now();
            port->read(buffer, sizeof buffer, asked);
            took.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(took.begin(), took.end());
        const double effective = asked > 0 ? asked : 1;  // 0 asks for the 1 ms poll
        std::printf("%10d %12.2f %12.2f %12.2f %10.2f\n", asked, took.front(), took[kRounds / 2], took.back(),
                    took[kRounds / 2] / effective);
    }
    return 0;
}
