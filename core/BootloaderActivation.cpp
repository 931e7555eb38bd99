#include "core/BootloaderActivation.h"

#include "core/Stk500Session.h"

namespace bootloader {

std::string exchange(serialInterface* port) {
    Stk500Session session(port);
    if (!session.signOn()) return kStatusNoSync;
    // The upgrade command is only ever sent to a transmitter that answered the sign-on.
    return session.firmwareUpgrade(kAccessCode) ? kStatusSuccess : kStatusUpgradeError;
}

}  // namespace bootloader
