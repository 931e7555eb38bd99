#include "tools/send/UdevRule.h"

namespace sender {

// uaccess is acted on by 73-seat-late.rules and ID_MM_DEVICE_IGNORE read by the
// modem manager's own rules in the 77-80 range: the rule must come before both.
std::string udevRuleText(const std::string& ttyName, const std::string& vendorId, const std::string& productId) {
    std::string text = "# udev rule for the TELVARA transmitter (now on " + ttyName + "): gives the user\n";
    text += "# logged in at the seat access to it and keeps modem managers from probing it.\n";
    text += "# Save this output as " + std::string(kUdevRuleFile) + ", then install it and apply it to\n";
    text += "# the plugged-in transmitter with:\n";
    text += "#   sudo install -m 644 " + std::string(kUdevRuleFile) + " /etc/udev/rules.d/\n";
    text += "#   sudo udevadm control --reload-rules && sudo udevadm trigger --subsystem-match=tty\n";
    text += "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"" + vendorId + "\", ATTRS{idProduct}==\"" + productId +
            "\", TAG+=\"uaccess\", ENV{ID_MM_DEVICE_IGNORE}=\"1\"\n";
    return text;
}

}  // namespace sender
