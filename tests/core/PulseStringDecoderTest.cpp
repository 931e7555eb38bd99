#include "core/PulseStringDecoder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PulseStringDecoder, RefusesWhatThePulseBuilderNeverMakes) {
    const char* const malformed[] = {
        "",
        "*BbDbBbBbBbBbBbBbBbBbBbBdB~",         // no closing '*'
        "BbDbBbBbBbBbBbBbBbBbBbBdB~*",         // no opening '*'
        "*BbDbBbBbBbBbBbBbBbBbBbBdB*",         // no '~'
        "*BBbDbBbBbBbBbBbBbBbBbBbBdB~*",       // unmerged marks
        "*BbDbBbBbBbBbBbBbBbBbBbBdBb~*",       // trailing space sent
        "*BbDbBbBbBbBbBbBbBbBbBbBd~*",         // ends on a space
        "*BbDbBbBbBbBbBbBbBbBbBd~*",           // too short
        "*BbDbBbBbBbBbBbBbBbBbBbBbBbBbBbB~*",  // too long
        "*DbDbBbBbBbBbBbBbBbBbBbBdB~*",        // start bits wrong
        "*BbDbBbBxBbBbBbBbBbBbBbBdB~*",        // foreign symbol
        "*BbDdDdBbBbBbBbBbBbBbBbBdB~*",        // a bit without a mid-bit transition
    };
    for (const char* text : malformed) {
        std::string why;
        EXPECT_FALSE(rc5::decodePulseString(text, &why).has_value()) << text;
        EXPECT_FALSE(why.empty()) << text;
    }
}

}  // namespace
