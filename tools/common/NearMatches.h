#pragma once
// "did you mean ...?" for a mistyped name: the known names that are one or two
// typing slips away from it (a letter wrong, missing, extra or two swapped), or
// that it begins, ignoring case.

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace tools {

namespace detail {

inline char folded(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

// Edits that turn `a` into `b`, a swap of neighbours counting as one.
inline std::size_t slipsBetween(std::string_view a, std::string_view b) {
    const std::size_t columns = b.size() + 1;
    std::vector<std::size_t> d((a.size() + 1) * columns);
    auto at = [&](std::size_t i, std::size_t j) -> std::size_t& { return d[i * columns + j]; };
    for (std::size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
    for (std::size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t change = folded(a[i - 1]) == folded(b[j - 1]) ? 0 : 1;
            at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
            if (i > 1 && j > 1 && folded(a[i - 1]) == folded(b[j - 2]) && folded(a[i - 2]) == folded(b[j - 1]))
                at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
        }
    }
    return at(a.size(), b.size());
}

inline bool beginsWith(std::string_view name, std::string_view start) {
    return start.size() <= name.size() &&
           std::equal(start.begin(), start.end(), name.begin(), [](char x, char y) { return folded(x) == folded(y); });
}

}  // namespace detail

// The names, in their own order, that `typed` is near to.
template <typename Names>
std::vector<std::string> nearMatches(std::string_view typed, const Names& names) {
    // Short names are close to many others; one slip is all they allow.
    const std::size_t allowed = typed.size() <= 4 ? 1 : 2;
    std::vector<std::string> near;
    for (std::string_view name : names) {
        const bool begun = typed.size() >= 2 && detail::beginsWith(name, typed);
        if (begun || detail::slipsBetween(typed, name) <= allowed) near.emplace_back(name);
    }
    return near;
}

// "; did you mean a?", "; did you mean a or b?", "; did you mean a, b or c?"; empty without any.
inline std::string didYouMean(const std::vector<std::string>& near) {
    if (near.empty()) return {};
    std::string text = "; did you mean ";
    for (std::size_t i = 0; i < near.size(); ++i) {
        if (i > 0) text += i + 1 == near.size() ? " or " : ", ";
        text += near[i];
    }
    return text + "?";
}

}  // namespace tools
