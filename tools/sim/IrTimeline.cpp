#include "tools/sim/IrTimeline.h"

#include "core/PulseStringDecoder.h"
#include "core/Rc5.h"

namespace sim {
namespace {

constexpr const char* kTotalPrefix = " = ";
constexpr const char* kUnit = " us";

}  // namespace

std::optional<std::string> irTimeline(std::string_view pulseString) {
    const auto levels = rc5::halfBitLevels(pulseString);
    if (!levels || levels->empty()) return std::nullopt;
    std::string text;
    long total = 0;
    std::size_t i = 0;
    while (i < levels->size()) {
        const bool mark = (*levels)[i];
        std::size_t run = 0;
        while (i < levels->size() && (*levels)[i] == mark) ++run, ++i;
        const long duration = static_cast<long>(run) * rc5::kHalfBitMicroseconds;
        total += duration;
        if (!text.empty()) text += ' ';
        text += (mark ? '+' : '-') + std::to_string(duration);
    }
    return text + kTotalPrefix + std::to_string(total) + kUnit;
}

}  // namespace sim
