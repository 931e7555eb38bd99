#include "tools/common/ByteEscapes.h"

namespace tools {
namespace {

constexpr const char* kDanglingBackslash = "ends in a lone backslash";
constexpr const char* kUnknownEscape = "unknown escape \\";
constexpr const char* kBadHexEscape = "\\x needs two hexadecimal digits";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string escapeBytes(std::span<const std::uint8_t> bytes, Layout layout) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size());
    for (const std::uint8_t byte : bytes) {
        if (layout == Layout::Kept && (byte == '\t' || byte == '\r' || byte == '\n')) {
            text += static_cast<char>(byte);
            continue;
        }
        switch (byte) {
            case '\\': text += "\\\\"; break;
            case 0: text += "\\0"; break;
            case '\t': text += "\\t"; break;
            case '\r': text += "\\r"; break;
            case '\n': text += "\\n"; break;
            default:
                if (byte >= 0x20 && byte <= 0x7E) {
                    text += static_cast<char>(byte);
                } else {
                    text += "\\x";
                    text += kHex[byte >> 4];
                    text += kHex[byte & 0x0F];
                }
        }
    }
    return text;
}

std::optional<std::vector<std::uint8_t>> unescapeBytes(std::string_view text, std::string* why) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes.push_back(static_cast<std::uint8_t>(text[i]));
            continue;
        }
        if (++i == text.size()) {
            if (why) *why = kDanglingBackslash;
            return std::nullopt;
        }
        switch (text[i]) {
            case '\\': bytes.push_back('\\'); break;
            case '0': bytes.push_back(0); break;
            case 't': bytes.push_back('\t'); break;
            case 'r': bytes.push_back('\r'); break;
            case 'n': bytes.push_back('\n'); break;
            case 'x': {
                const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    if (why) *why = kBadHexEscape;
                    return std::nullopt;
                }
                bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
                i += 2;
                break;
            }
            default:
                if (why) *why = std::string(kUnknownEscape) + text[i];
                return std::nullopt;
        }
    }
    return bytes;
}

}  // namespace tools
