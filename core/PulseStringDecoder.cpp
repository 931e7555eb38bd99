#include "core/PulseStringDecoder.h"

#include "core/Rc5.h"

namespace rc5 {
namespace {

bool fail(std::string* why, const char* reason) {
    if (why) *why = reason;
    return false;
}

bool expandRuns(std::string_view text, std::vector<bool>& levels, std::string* why) {
    if (text.size() < 4 || text.front() != kFrameBoundary) return fail(why, "does not start with '*'");
    if (text.substr(text.size() - 2) != std::string_view{"~*"}) return fail(why, "does not end with \"~*\"");
    const std::string_view runs = text.substr(1, text.size() - 3);
    int previous = -1;
    for (const char symbol : runs) {
        int level;
        int count;
        switch (symbol) {
            case kMark:
                level = 1;
                count = 1;
                break;
            case kSpace:
                level = 0;
                count = 1;
                break;
            case kDoubleMark:
                level = 1;
                count = 2;
                break;
            case kDoubleSpace:
                level = 0;
                count = 2;
                break;
            default: return fail(why, "holds a symbol other than B, b, D, d");
        }
        if (level == previous) return fail(why, "two runs of the same level stand side by side");
        previous = level;
        levels.insert(levels.end(), count, level == 1);
    }
    if (previous != 1) return fail(why, "does not end with a mark");
    return true;
}

}  // namespace

std::optional<std::vector<bool>> halfBitLevels(std::string_view text) {
    std::vector<bool> levels;
    if (!expandRuns(text, levels, nullptr)) return std::nullopt;
    return levels;
}

std::optional<DecodedFrame> decodePulseString(std::string_view text, std::string* why) {
    std::vector<bool> levels;
    if (!expandRuns(text, levels, why)) return std::nullopt;
    // The final space of a trailing 0 bit is not sent; put it back.
    if (levels.size() + 1 == std::size_t{kFrameHalfBits}) levels.push_back(false);
    if (levels.size() != std::size_t{kFrameHalfBits}) {
        fail(why, "does not hold exactly 14 bits");
        return std::nullopt;
    }
    // levels[0] is the first start bit's mark; each later bit is levels[2k-1], levels[2k].
    if (!levels[0] || levels[1] || !levels[2]) {
        fail(why, "start bits are not 1, 1");
        return std::nullopt;
    }
    DecodedFrame frame;
    for (int bit = 0; bit < kDataBits; ++bit) {
        const bool first = levels[3 + 2 * bit];
        const bool second = levels[4 + 2 * bit];
        if (first == second) {
            fail(why, "a bit has no transition in its middle");
            return std::nullopt;
        }
        frame.bits = static_cast<std::uint16_t>((frame.bits << 1) | (second ? 1 : 0));
    }
    frame.toggle = (frame.bits >> 11) & 1;
    frame.address = (frame.bits >> 6) & 0x1F;
    frame.command = frame.bits & 0x3F;
    return frame;
}

}  // namespace rc5
