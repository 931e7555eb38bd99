// Text to number: whole decimal numbers only, and an error that says what the text was.

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "toolkit/TextToNumber.h"

TEST(StrToInt, AcceptsWholeDecimalIntegersOnly) {
    const std::pair<const char*, int> valid[] = {
        {"0", 0}, {"-1", -1}, {"55", 55}, {"+7", 7}, {"2147483647", 2147483647}};
    for (const auto& [text, value] : valid) EXPECT_EQ(StrToInt(text), value) << text;
    for (const char* text : {"", "abc", "12abc", " 1", "1 ", "+", "-", "+-1", "0x10", "2147483648"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const NotAWholeNumber& e) {
            EXPECT_EQ(std::string(e.what()), "not a whole number: '" + std::string(text) + "'");
        }
    }
}
