#include "tools/sim/SimOptions.h"

#include <algorithm>
#include <cctype>

#include "tools/common/ByteEscapes.h"
#include "tools/common/LongOption.h"
#include "tools/common/NearMatches.h"

namespace sim {
namespace {

constexpr const char* kUnknownOption = "unknown option ";
constexpr const char* kUnknownMode = "unknown answer mode ";
constexpr const char* kBadText = "cannot read the text of ";
constexpr const char* kBadName = "a tty name is letters, digits and '_' only: ";
constexpr const char* kNoCommand = "nothing to run after --";

constexpr const char* kHelpHead = R"(Usage: telvara-sim [OPTIONS] [-- COMMAND [ARGS...]]

Stands in for the TELVARA transmitter. It opens a pseudo-terminal, presents it
as a USB serial device named ttyACM0 (driver cdc_acm) in a temporary device
tree, and points TELVARA_ROOT at that tree, so that the program's Port menu and
"telvara-send --list" find it as they would find the real transmitter.

With a COMMAND, runs it with TELVARA_ROOT set and ends when it ends, with its
exit status. Without one, prints the line to paste into another shell
("export TELVARA_ROOT=...") and serves until interrupted.

It prints one line for everything it receives:
  frame 0x0001 toggle 0 address 0 (TV) command 1: *BbDbBbBbBbBbBbBbBbBbBbBdB~*
  not a valid pulse string (<reason>): <bytes>
  unframed bytes (<reason>): <bytes>
  stk500v2 sign-on (sequence 1): answered STATUS_CMD_OK
Bytes that are not printable ASCII are shown as \0 \t \r \n \\ or \xHH.

Line settings: pulse strings must come at 2400 baud 8O1, STK500v2 messages at
9600 baud 8N1; anything else is reported. A pseudo-terminal keeps only the
baud rate and the odd-parity flag of what the program asked for (it clears
parity-enable and forces 8 data bits), so those two are what is checked.

Options:
  --mode MODE          how STK500v2 messages are answered (default normal)
  --upgrade-mode MODE  another mode for the firmware-upgrade answer only
  --timeline           after each frame, print the infrared light it stands for:
                       +mark -space in microseconds (889 us half-bits, 36 kHz carrier)
  --say TEXT           send TEXT once, as soon as a program has set up the port
  --ack TEXT           send TEXT after every valid frame
  --name NAME          the tty name to present (default ttyACM0)
  -h, --help, --version
TEXT takes the escapes \0 \t \r \n \\ \xHH, e.g. --ack 'OK\r\n'.

Answer modes:
)";

constexpr const char* kHelpTail = R"(
The sign-on is answered with the signature STK500_2; the firmware-upgrade command
gets STATUS_CMD_OK for the access code the program sends, STATUS_CMD_FAILED for
any other. A message with a wrong checksum gets ANSWER_CKSUM_ERROR.

Examples:
  $ telvara-sim -- telvara-send play
  $ telvara-sim --timeline --ack 'OK\r\n'
  $ telvara-sim --mode signon-only -- telvara-send --bootloader
)";

bool isTtyName(const std::string& name) {
    return !name.empty() && std::ranges::all_of(name, [](unsigned char c) { return std::isalnum(c) || c == '_'; });
}

std::string nearModeNames(const std::string& typed) {
    std::vector<std::string_view> names;
    for (const AnswerModeName& entry : answerModeNames()) names.push_back(entry.name);
    return tools::didYouMean(tools::nearMatches(typed, names));
}

}  // namespace

std::string simHelpText() {
    std::string text = kHelpHead;
    for (const AnswerModeName& entry : answerModeNames()) {
        std::string name(entry.name);
        name.resize(16, ' ');
        text += "  " + name + std::string(entry.meaning) + "\n";
    }
    return text + kHelpTail;
}

std::optional<SimOptions> parseSimOptions(std::span<const std::string> args, std::string& error) {
    SimOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        tools::LongOption word(args, i);
        const std::string& option = word.name();
        auto value = [&] { return word.value(error); };
        auto text = [&](std::optional<std::vector<std::uint8_t>>& into) {
            const auto given = value();
            if (!given) return false;
            std::string why;
            into = tools::unescapeBytes(*given, &why);
            if (!into) error = kBadText + option + ": " + why;
            return into.has_value();
        };
        auto mode = [&](auto& into) {
            const auto given = value();
            if (!given) return false;
            const auto parsed = answerModeByName(*given);
            if (!parsed)
                error = kUnknownMode + *given + nearModeNames(*given);
            else
                into = *parsed;
            return parsed.has_value();
        };

        if (word.isFlag("--")) {
            options.command.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
            if (options.command.empty()) {
                error = kNoCommand;
                return std::nullopt;
            }
            break;
        } else if (word.isFlag("--help") || word.isFlag("-h")) {
            options.help = true;
        } else if (word.isFlag("--version")) {
            options.version = true;
        } else if (word.isFlag("--timeline")) {
            options.timeline = true;
        } else if (option == "--mode") {
            if (!mode(options.mode)) return std::nullopt;
        } else if (option == "--upgrade-mode") {
            if (!mode(options.upgradeMode)) return std::nullopt;
        } else if (option == "--say") {
            if (!text(options.say)) return std::nullopt;
        } else if (option == "--ack") {
            if (!text(options.ack)) return std::nullopt;
        } else if (option == "--name") {
            const auto given = value();
            if (!given) return std::nullopt;
            if (!isTtyName(*given)) {
                error = kBadName + *given;
                return std::nullopt;
            }
            options.ttyName = *given;
        } else {
            error = kUnknownOption + args[i];
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace sim
