#pragma once
// Conversions whose failure is an error the application shows.

#include <stdexcept>
#include <string>

inline constexpr const char* kNotAValidInteger = "'%s' is not a valid integer value";

class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole text as a decimal 32-bit integer, an optional sign in front;
// anything else throws EConvertError.
int StrToInt(const std::string& S);
