#pragma once
// The udev rule that lets the logged-in user open the transmitter and keeps
// modem managers from probing it, matched on its USB vendor and product IDs,
// with the commands that install it. Printed for the user to install: this
// program never writes system files.

#include <string>

namespace sender {

inline constexpr const char* kUdevRuleFile = "70-telvara.rules";

// The rule file's text for the device `vendorId`:`productId` (hex, as sysfs
// gives them) found on `ttyName`, with the installing commands as comments.
std::string udevRuleText(const std::string& ttyName, const std::string& vendorId, const std::string& productId);

}  // namespace sender
