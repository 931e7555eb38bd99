#include "toolkit/AccessKeys.h"

#include <cctype>

#include "toolkit/Menu.h"

namespace toolkit {

std::vector<std::string> withAccessKeys(const std::vector<std::string>& captions) {
    std::string taken;  // lower-case letters earlier siblings hold
    std::vector<std::string> shown;
    shown.reserve(captions.size());
    for (const std::string& caption : captions) {
        std::size_t key = std::string::npos;
        if (caption != kSeparatorCaption) {
            for (std::size_t i = 0; i < caption.size(); ++i) {
                const auto c = static_cast<unsigned char>(caption[i]);
                if (c >= 0x80 || !std::isalpha(c)) continue;
                const char lower = static_cast<char>(std::tolower(c));
                if (taken.find(lower) != std::string::npos) continue;
                taken += lower;
                key = i;
                break;
            }
        }
        std::string text;
        for (std::size_t i = 0; i < caption.size(); ++i) {
            if (i == key) text += '&';
            text += caption[i];
            if (caption[i] == '&') text += '&';
        }
        shown.push_back(std::move(text));
    }
    return shown;
}

}  // namespace toolkit
