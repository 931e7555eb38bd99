#pragma once
// Switching the transmitter into its bootloader: a sign-on, then the
// firmware-upgrade command with the access code, on a port opened at 9600 8N1.

#include <string>

class serialInterface;

namespace bootloader {

inline constexpr const char* kAccessCode = "vexlarquin";

inline constexpr const char* kStatusUnableToOpenPort = "Unable to open Port ";  // + port name
inline constexpr const char* kStatusNoSync = "No Sync";
inline constexpr const char* kStatusUpgradeError = "upgrade Error!";
inline constexpr const char* kStatusSuccess = "Success!";

// Signs on and, only after a valid answer, sends the firmware-upgrade command.
// Returns the status text of the outcome: kStatusNoSync, kStatusUpgradeError or kStatusSuccess.
std::string exchange(serialInterface* port);

}  // namespace bootloader
