// Feeds arbitrary bytes to the STK500v2 receive path as the transmitter's
// answer. The first byte picks the path: a bare receive, or a whole sign-on or
// firmware-upgrade exchange (which also judge the answer's body); the rest is
// what the port delivers. Any read or write outside the session's buffer, or
// undefined behaviour, ends the run.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/BootloaderActivation.h"
#include "core/Stk500Session.h"
#include "platform/serialInterface.h"
#include "tests/support/FakePort.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    FakePort fake;
    std::unique_ptr<serialInterface> port(fake.open());
    fake.queueInput(data + 1, size - 1);
    Stk500Session session(port.get());
    session.sequenceNumber = data[0];
    switch (data[0] % 3) {
        case 0: session.receiveMessage(); break;
        case 1: session.signOn(); break;
        default: session.firmwareUpgrade(bootloader::kAccessCode); break;
    }
    // Whatever was accepted must fit the buffer it claims to be in.
    if (session.bodyLength > session.body.size()) __builtin_trap();
    return 0;
}
