#include "tools/send/LircdConf.h"

#include <array>
#include <cstdio>
#include <utility>

#include "core/Rc5.h"
#include "core/Rc5Devices.h"
#include "tools/send/KeyNames.h"

namespace sender {
namespace {

// LIRC's names for the named keys; the digits are KEY_0 to KEY_9.
constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kLircNames{{
    {"up", "KEY_UP"},
    {"down", "KEY_DOWN"},
    {"left", "KEY_LEFT"},
    {"right", "KEY_RIGHT"},
    {"rewind", "KEY_REWIND"},
    {"pause", "KEY_PAUSE"},
    {"play", "KEY_PLAY"},
    {"forward", "KEY_FASTFORWARD"},
    {"stop", "KEY_STOP"},
    {"record", "KEY_RECORD"},
}};

constexpr int kDigits = 10;
constexpr int kNoCommand = -1;

// LIRC's code holds the second start bit above the twelve data bits; the
// first start bit is the leading mark (plead). The toggle bit is 0 here:
// lircd flips it between two sends of a key.
constexpr unsigned kSecondStartBit = 1u << rc5::kDataBits;
constexpr unsigned kDataMask = kSecondStartBit - 1;

constexpr const char* kHead = R"(# RC-5 remotes for the TELVARA transmitter: one per appliance of the Device
# menu, each with the keys of the keypad. Printed by telvara-send --lircd-conf.
#
# Save it as /etc/lirc/lircd.conf.d/telvara.conf and start lircd with the
# transmitter's driver, then send keys by remote and key name:
#   lircd --driver=telvara --device=ttyACM0 --immediate-init /etc/lirc/lircd.conf
#   irsend SEND_ONCE VCR KEY_PLAY
#
# lircd flips the toggle bit between two sends of a key, as the keypad does.
# The keys without a command of their own (AB, ret, OK, + and -) are left out:
# the keypad sends command -1 for all of them, which reaches into the address
# bits (on VCR a receiver sees address 4, command 63).
)";

std::string hexCode(unsigned code) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", code);
    return text;
}

std::string codeLine(std::string_view name, int address, int command) {
    const auto word = static_cast<unsigned>(rc5::codeWord(0, address, command));
    std::string line = "    " + std::string(name);
    line.resize(22, ' ');
    return line + hexCode(kSecondStartBit | (word & kDataMask)) + "\n";
}

std::string remote(const rc5::Device& device) {
    const std::string h = std::to_string(rc5::kHalfBitMicroseconds);
    std::string text = "\nbegin remote\n";
    text += "  name             " + std::string(device.name) + "\n";
    text += "  bits             " + std::to_string(rc5::kDataBits + 1) + "\n";
    text += "  flags            RC5|CONST_LENGTH\n";
    text += "  eps              30\n";
    text += "  aeps             100\n";
    text += "  one              " + h + " " + h + "\n";
    text += "  zero             " + h + " " + h + "\n";
    text += "  plead            " + h + "\n";
    text += "  gap              " + std::to_string(rc5::kFramePeriodMicroseconds) + "\n";
    text += "  toggle_bit_mask  " + hexCode(rc5::kToggleWeight) + "\n";
    text += "  frequency        " + std::to_string(rc5::kCarrierHz) + "\n";
    text += "\n  begin codes\n";
    for (int digit = 0; digit < kDigits; ++digit) {
        text += codeLine("KEY_" + std::to_string(digit), device.address, digit);
    }
    for (const KeyName& key : keyNames()) {
        if (key.command != kNoCommand) text += codeLine(lircKeyName(key.name), device.address, key.command);
    }
    text += "  end codes\nend remote\n";
    return text;
}

}  // namespace

std::string lircKeyName(std::string_view keyName) {
    for (const auto& [name, lircName] : kLircNames) {
        if (name == keyName) return std::string(lircName);
    }
    return std::string(keyName);
}

std::string lircdConf() {
    std::string text = kHead;
    for (const rc5::Device& device : rc5::devices()) text += remote(device);
    return text;
}

}  // namespace sender
