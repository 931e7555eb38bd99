#include "toolkit/TextToNumber.h"

#include <charconv>
#include <string_view>

int StrToInt(const std::string& S) {
    const char* first = S.data();
    const char* last = S.data() + S.size();
    if (first != last && *first == '+') ++first;  // from_chars takes '-' only
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (first == last || (first != S.data() && *first == '-') || error != std::errc() || end != last) {
        const std::string_view pattern = kNotAWholeNumber;
        const std::size_t at = pattern.find("%s");
        std::string message(pattern.substr(0, at));
        message.append(S).append(pattern.substr(at + 2));
        throw NotAWholeNumber(message);
    }
    return value;
}
