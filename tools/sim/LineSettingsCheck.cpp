#include "tools/sim/LineSettingsCheck.h"

#include "core/KeypadLine.h"
#include "platform/serialInterface.h"

namespace sim {
namespace {

constexpr const char* kWrongLine = "wrong line settings for ";
constexpr const char* kForPulseString = "a pulse string: ";
constexpr const char* kForStk500 = "an STK500v2 message: ";
constexpr const char* kBaud = " baud, ";
constexpr const char* kOdd = "odd parity";
constexpr const char* kNotOdd = "no odd parity";
constexpr const char* kExpected = "; expected ";
constexpr const char* kBootloaderFormat = "8N1";

}  // namespace

std::optional<std::string> lineSettingsMismatch(Traffic traffic, const ObservedLine& line) {
    const bool pulse = traffic == Traffic::PulseString;
    const int baudRate = pulse ? kKeypadBaudRate : serial::kBootloaderBaudRate;
    const bool odd = pulse && kKeypadLineFormat[1] == 'O';
    if (line.baudRate == baudRate && line.parityOdd == odd) return std::nullopt;
    return std::string(kWrongLine) + (pulse ? kForPulseString : kForStk500) + std::to_string(line.baudRate) + kBaud +
           (line.parityOdd ? kOdd : kNotOdd) + kExpected + std::to_string(baudRate) + " " +
           (pulse ? kKeypadLineFormat : kBootloaderFormat);
}

}  // namespace sim
