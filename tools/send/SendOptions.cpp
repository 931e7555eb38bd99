#include "tools/send/SendOptions.h"

#include <charconv>

#include "core/Rc5Devices.h"
#include "tools/common/LongOption.h"
#include "tools/common/NearMatches.h"
#include "tools/send/KeyNames.h"

namespace sender {
namespace {

constexpr int kLowestCommand = -1;
constexpr int kHighestCommand = 63;
constexpr int kHighestAddress = 31;

constexpr const char* kUnknownOption = "unknown option ";
constexpr const char* kTwoModes = "choose one of --list, --print, --bootloader, --monitor, --lircd-conf, --udev-rule";
constexpr const char* kLongWithoutList = "--long goes with --list";
constexpr const char* kBadWait = "--wait takes whole seconds 0..3600, not ";
constexpr const char* kBadHold = "--hold takes seconds 0.1..60 (e.g. 1.5), not ";
constexpr const char* kBadRepeat = "--repeat takes a count 0..500, not ";
constexpr const char* kHoldOrRepeat = "choose one of --hold and --repeat";
constexpr const char* kHoldSends = " holds no key: --hold and --repeat go with commands to send or --print";
constexpr const char* kNoWait = " waits for no port; drop --wait";
constexpr int kMostWaitSeconds = 3600;
constexpr int kLeastHoldMs = 100;
constexpr int kMostHoldMs = 60000;
constexpr int kMostRepeats = 500;
constexpr const char* kNothingToDo = "nothing to do: give commands to send, or --list, --bootloader, --monitor";
constexpr const char* kNoCommands = " sends no commands: ";
constexpr const char* kNoDevice = " takes no --device or --toggle";
constexpr const char* kNoPort = " needs no port; drop --port";
constexpr const char* kBadCommand = "unknown key name ";
constexpr const char* kCommandRange = "command out of range -1..63: ";
constexpr const char* kBadDevice = "unknown device (TV, VCR, Sat, Amp, Tuner, Tape, CD or 0..31): ";
constexpr const char* kBadToggle = "the toggle is 0 or 1, not ";
constexpr const char* kEmptyPort = "--port needs a port name";

constexpr const char* kHelpHead = R"(Usage: telvara-send [--port NAME] [--wait SECONDS] [--device D] [--toggle T]
                   [--hold SECONDS | --repeat N] COMMAND...
  or:  telvara-send --print [--device D] [--toggle T] [--hold SECONDS | --repeat N] COMMAND...
  or:  telvara-send --list [--long]
  or:  telvara-send [--port NAME] --bootloader
  or:  telvara-send [--port NAME] --monitor
  or:  telvara-send --lircd-conf
  or:  telvara-send [--port NAME] --udev-rule
  or:  telvara-send -h | --help | --version

Sends remote-control commands through the TELVARA transmitter, as the keypad
window does, and reaches its other functions from a shell.

  COMMAND...     opens the port at 2400 baud 8O1 as the Port menu does, writes one
                 RC-5 pulse string per command (one write each, a short pause
                 between two) and prints the line the debug window would log:
                   0x0001 -> *BbDbBbBbBbBbBbBbBbBbBbBdB~*
                 The toggle bit flips after every command and carries over to the
                 next run on the same port, as successive key presses do.
  --print        prints those lines only; needs no port. The toggle starts at 0.
  --list         prints the USB serial ports, one name per line, in the order of
                 the serial device map, as the Port menu lists them.
  --long         with --list: one line per port with what the system knows of
                 it: driver, USB vendor:product IDs, manufacturer, product,
                 serial number, the stable name in /dev/serial/by-id, whether
                 you may open it, and which process holds it, if one does.
  --bootloader   reopens the port at 9600 baud 8N1, signs on over STK500v2, sends
                 the firmware-upgrade command with the access code and prints the
                 status: "Success!", "upgrade Error!", "No Sync" or
                 "Unable to open Port NAME". Exit status 0 only on "Success!".
  --monitor      prints what the transmitter sends back: one line per 100 ms poll
                 that received something, cut at the first 0 byte, as the debug
                 window shows it; on a terminal, control bytes other than TAB, CR
                 and LF are shown as \xHH. Runs until interrupted (Ctrl-C) or until
                 its output is closed; ends with exit status 1 when the transmitter
                 is unplugged or hangs up.
  --lircd-conf   prints a remote definition for LIRC's lircd and its "telvara"
                 driver: an RC-5 remote per device (TV, VCR, ...) with the
                 keypad's keys under LIRC's names (KEY_1, KEY_PLAY, ...).
  --udev-rule    prints a udev rule for the plugged-in transmitter, matched on its
                 USB vendor and product IDs, that gives the logged-in user access
                 and keeps modem managers away, with the commands that install it.
                 It writes nothing itself.

  --port NAME    the port: a serial device's tty name or its path in /dev, e.g.
                 ttyACM0 or /dev/ttyACM0, or its stable name in /dev/serial/by-id,
                 which stays the same when a re-plug renumbers the tty. Without
                 it, the one USB serial port listed is used; with none or several
                 listed, name it.
  --wait SECONDS when the port (named, or the only one) is not there yet, waits up
                 to this long for it to appear, as after a re-plug or a firmware
                 update.
  --hold SECONDS holds each key down this long (e.g. 1.5): its frame is sent again
                 and again, one RC-5 frame period (114 ms) apart, with the same
                 toggle bit, as a remote does while a key is held; the toggle
                 flips once, when the key is let go.
  --repeat N     holds each key down for N repeats of its frame after the first.
  --device D     the appliance: TV (0), VCR (5), Sat (8), Amp (16), Tuner (17),
                 Tape (18), CD (20) in any case, or an RC-5 address 0..31. Default TV.
  --toggle T     the toggle bit of the first command, 0 or 1, instead of the one
                 remembered for the port.

A COMMAND is an RC-5 command number -1..63 or a key name:
  0..9      the digit keys
)";

constexpr const char* kHelpTail = R"(
The toggle bit is remembered per port in $XDG_RUNTIME_DIR/telvara (without that
variable, in /tmp/telvara-UID).

Exit status: 0 success; 1 a failure at run time (the port cannot be opened or
written, the bootloader status is not "Success!"); 2 a bad command line, or no
port or several ports to choose from.

Examples:
  $ telvara-send --list
  $ telvara-send --port ttyACM0 --device VCR play
  $ telvara-send --device tv 1 2 3 ok
  $ telvara-send --print --toggle 1 --device 20 stop
  $ telvara-send --port ttyACM0 --bootloader
  $ telvara-send --list --long
  $ telvara-send --port usb-Maker_Product_1234-if00 --wait 10 --hold 1.5 up
)";

std::optional<int> decimal(const std::string& text) {
    int value = 0;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    const auto [end, problem] = std::from_chars(first, last, value);
    if (text.empty() || problem != std::errc{} || end != last) return std::nullopt;
    return value;
}

std::string nearKeyNames(const std::string& typed) {
    std::vector<std::string_view> names;
    for (const KeyName& key : keyNames()) names.push_back(key.name);
    return tools::didYouMean(tools::nearMatches(typed, names));
}

std::string nearDeviceNames(const std::string& typed) {
    std::vector<std::string_view> names;
    for (const rc5::Device& device : rc5::devices()) names.push_back(device.name);
    return tools::didYouMean(tools::nearMatches(typed, names));
}

// Seconds with up to three decimals ("1", "1.5", "0.25") in milliseconds.
std::optional<int> milliseconds(const std::string& text) {
    const std::size_t point = text.find('.');
    const std::string whole = text.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    if (whole.empty() || whole.size() > 4 || fraction.size() > 3 ||
        text.find_first_not_of("0123456789.") != std::string::npos || fraction.find('.') != std::string::npos ||
        (point != std::string::npos && fraction.empty()))
        return std::nullopt;
    fraction.resize(3, '0');
    const auto seconds = decimal(whole);
    const auto thousandths = decimal(fraction);
    if (!seconds || !thousandths) return std::nullopt;
    return *seconds * 1000 + *thousandths;
}

bool looksNumeric(const std::string& text) {
    const std::size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
    return text.size() > start && text.find_first_not_of("0123456789", start) == std::string::npos;
}

}  // namespace

std::string sendHelpText() {
    std::string text = kHelpHead;
    for (const KeyName& key : keyNames()) {
        std::string name(key.name);
        name.resize(10, ' ');
        text += "  " + name + "key \"" + std::string(key.caption) + "\", command " + std::to_string(key.command) + "\n";
    }
    return text + kHelpTail;
}

std::optional<SendOptions> parseSendOptions(std::span<const std::string> args, std::string& error) {
    SendOptions options;
    std::optional<SendMode> mode;
    bool deviceGiven = false;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    std::vector<std::string> commandWords;

    auto setMode = [&](SendMode wanted) {
        if (mode && *mode != wanted) {
            error = kTwoModes;
            return false;
        }
        mode = wanted;
        return true;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // Numbers are commands even with a minus sign: "-1" is the keys without a command.
        if (optionsEnded || !arg.starts_with("-") || looksNumeric(arg)) {
            commandWords.push_back(arg);
            continue;
        }
        tools::LongOption word(args, i);
        const std::string& option = word.name();
        auto value = [&] { return word.value(error); };

        if (word.isFlag("--")) {
            optionsEnded = true;
        } else if (word.isFlag("--help") || word.isFlag("-h")) {
            help = true;
        } else if (word.isFlag("--version")) {
            version = true;
        } else if (word.isFlag("--list")) {
            if (!setMode(SendMode::List)) return std::nullopt;
        } else if (word.isFlag("--print")) {
            if (!setMode(SendMode::Print)) return std::nullopt;
        } else if (word.isFlag("--bootloader")) {
            if (!setMode(SendMode::Bootloader)) return std::nullopt;
        } else if (word.isFlag("--monitor")) {
            if (!setMode(SendMode::Monitor)) return std::nullopt;
        } else if (word.isFlag("--lircd-conf")) {
            if (!setMode(SendMode::LircdConf)) return std::nullopt;
        } else if (word.isFlag("--udev-rule")) {
            if (!setMode(SendMode::UdevRule)) return std::nullopt;
        } else if (word.isFlag("--long")) {
            options.longList = true;
        } else if (option == "--wait") {
            const auto given = value();
            if (!given) return std::nullopt;
            const auto seconds = looksNumeric(*given) ? decimal(*given) : std::nullopt;
            if (!seconds || *seconds < 0 || *seconds > kMostWaitSeconds) {
                error = kBadWait + *given;
                return std::nullopt;
            }
            options.waitSeconds = *seconds;
        } else if (option == "--hold") {
            const auto given = value();
            if (!given) return std::nullopt;
            const auto ms = milliseconds(*given);
            if (!ms || *ms < kLeastHoldMs || *ms > kMostHoldMs) {
                error = kBadHold + *given;
                return std::nullopt;
            }
            options.holdMs = *ms;
        } else if (option == "--repeat") {
            const auto given = value();
            if (!given) return std::nullopt;
            const auto count = looksNumeric(*given) ? decimal(*given) : std::nullopt;
            if (!count || *count < 0 || *count > kMostRepeats) {
                error = kBadRepeat + *given;
                return std::nullopt;
            }
            options.repeats = *count;
        } else if (option == "--port") {
            const auto given = value();
            if (!given) return std::nullopt;
            if (given->empty()) {
                error = kEmptyPort;
                return std::nullopt;
            }
            options.port = *given;
        } else if (option == "--device") {
            const auto given = value();
            if (!given) return std::nullopt;
            std::optional<int> address = rc5::deviceAddress(*given);
            if (!address && looksNumeric(*given)) address = decimal(*given);
            if (!address || *address < 0 || *address > kHighestAddress) {
                error = kBadDevice + *given + (looksNumeric(*given) ? std::string() : nearDeviceNames(*given));
                return std::nullopt;
            }
            options.device = *address;
            deviceGiven = true;
        } else if (option == "--toggle") {
            const auto given = value();
            if (!given) return std::nullopt;
            if (*given != "0" && *given != "1") {
                error = kBadToggle + *given;
                return std::nullopt;
            }
            options.toggle = *given == "1" ? 1 : 0;
        } else {
            error = kUnknownOption + arg;
            return std::nullopt;
        }
    }

    if (help || version) {
        options.mode = help ? SendMode::Help : SendMode::Version;
        return options;
    }

    for (const std::string& word : commandWords) {
        std::optional<int> command;
        if (looksNumeric(word)) {
            command = decimal(word);
            if (!command || *command < kLowestCommand || *command > kHighestCommand) {
                error = kCommandRange + word;
                return std::nullopt;
            }
        } else {
            command = commandOfKeyName(word);
            if (!command) {
                error = kBadCommand + word + nearKeyNames(word);
                return std::nullopt;
            }
        }
        options.commands.push_back(*command);
    }

    options.mode = mode.value_or(SendMode::Send);
    const bool sends = options.mode == SendMode::Send || options.mode == SendMode::Print;
    const char* modeName = options.mode == SendMode::List         ? "--list"
                           : options.mode == SendMode::Bootloader ? "--bootloader"
                           : options.mode == SendMode::Monitor    ? "--monitor"
                           : options.mode == SendMode::LircdConf  ? "--lircd-conf"
                           : options.mode == SendMode::UdevRule   ? "--udev-rule"
                                                                  : "--print";
    if (sends && options.commands.empty()) {
        error = kNothingToDo;
        return std::nullopt;
    }
    if (!sends && !commandWords.empty()) {
        error = modeName + std::string(kNoCommands) + commandWords.front();
        return std::nullopt;
    }
    if (!sends && (deviceGiven || options.toggle)) {
        error = modeName + std::string(kNoDevice);
        return std::nullopt;
    }
    const bool needsNoPort =
        options.mode == SendMode::Print || options.mode == SendMode::List || options.mode == SendMode::LircdConf;
    if (needsNoPort && options.port) {
        error = modeName + std::string(kNoPort);
        return std::nullopt;
    }
    if (options.longList && options.mode != SendMode::List) {
        error = kLongWithoutList;
        return std::nullopt;
    }
    if (options.holdMs && options.repeats) {
        error = kHoldOrRepeat;
        return std::nullopt;
    }
    if (!sends && (options.holdMs || options.repeats)) {
        error = modeName + std::string(kHoldSends);
        return std::nullopt;
    }
    if (needsNoPort && options.waitSeconds) {
        error = modeName + std::string(kNoWait);
        return std::nullopt;
    }
    return options;
}

}  // namespace sender
