#include "tools/sim/FrameReport.h"

#include "core/PulseStringDecoder.h"
#include "core/Rc5.h"
#include "core/Rc5Devices.h"
#include "tools/common/ByteEscapes.h"

namespace sim {
namespace {

constexpr const char* kFrame = "frame 0x";
constexpr const char* kToggle = " toggle ";
constexpr const char* kAddress = " address ";
constexpr const char* kCommand = " command ";
constexpr const char* kInvalid = "not a valid pulse string (";
constexpr const char* kUnframed = "unframed bytes (";

}  // namespace

std::string pulseStringReport(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::string why;
    const auto frame = rc5::decodePulseString(text, &why);
    if (!frame) return kInvalid + why + "): " + tools::escapeBytes(bytes);
    std::string line = kFrame + rc5::hexForm(frame->bits) + kToggle + std::to_string(frame->toggle) + kAddress +
                       std::to_string(frame->address);
    if (const auto name = rc5::deviceName(frame->address)) line += " (" + std::string(*name) + ")";
    return line + kCommand + std::to_string(frame->command) + ": " + std::string(text);
}

std::string unframedReport(std::span<const std::uint8_t> bytes, std::string_view why) {
    return kUnframed + std::string(why) + "): " + tools::escapeBytes(bytes);
}

}  // namespace sim
