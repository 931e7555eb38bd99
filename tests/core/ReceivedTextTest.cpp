#include "core/ReceivedText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(ReceivedText, StopsAtTheFirstZeroByteAndChangesNothingElse) {
    using namespace std::string_literals;
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"A\0B"s, "A"}, {"\0AB"s, ""}, {"ok\r\n"s, "ok\r\n"}, {"\xFF\x80z"s, "\xFF\x80z"}, {""s, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(receive::receivedText(c.bytes.data(), static_cast<int>(c.bytes.size())), c.text);
    EXPECT_EQ(receive::receivedText(nullptr, 5), "");
    EXPECT_EQ(receive::receivedText("abc", -1), "");
}

}  // namespace
