#pragma once
// Text to number, where text that is no number is an error the application shows.

#include <stdexcept>
#include <string>

inline constexpr const char* kNotAWholeNumber = "not a whole number: '%s'";

class NotAWholeNumber : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The whole text as a decimal 32-bit integer, an optional sign in front;
// anything else throws NotAWholeNumber.
int StrToInt(const std::string& S);
