#pragma once
// Texts from the portable side as Qt shows them.

#include <QString>
#include <string>

namespace toolkit::qt {

inline QString fromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Buttons and labels show captions literally: no access keys on controls.
inline QString literal(const std::string& text) {
    return fromUtf8(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace toolkit::qt
