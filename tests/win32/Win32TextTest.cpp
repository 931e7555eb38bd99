// Texts on their way to Windows and back: captions as UTF-8, the memo's bytes
// as Latin-1, one character each.

#include <gtest/gtest.h>

#include <string>

#include "toolkit/win32/Win32Text.h"

using namespace toolkit::win32;

TEST(Win32Text, Utf8CrossesToUtf16AndBackUnchanged) {
    const std::pair<std::string, std::wstring> cases[] = {
        {"", L""},
        {"Debug Window", L"Debug Window"},
        {"\xc3\xa9t\xc3\xa9", L"\u00e9t\u00e9"},
        {"\xe2\x82\xac", L"\u20ac"},
        {"\xf0\x9f\x93\xba", L"\xd83d\xdcfa"},  // beyond 16 bits: a surrogate pair
    };
    for (const auto& [utf8, utf16] : cases) {
        EXPECT_EQ(fromUtf8(utf8), utf16) << utf8;
        EXPECT_EQ(toUtf8(utf16), utf8) << utf8;
    }
    EXPECT_EQ(fromUtf8("a\xff"
                       "b"),
              L"a\xfffd"
              L"b");  // a byte that is no UTF-8
}

TEST(Win32Text, EveryByteIsOneCharacterAndBack) {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    const std::wstring text = fromLatin1(bytes);
    ASSERT_EQ(text.size(), 256u);
    EXPECT_EQ(text[0xff], L'\u00ff');
    EXPECT_EQ(text[0x80], L'\u0080');
    EXPECT_EQ(toLatin1(text), bytes);
    EXPECT_EQ(toLatin1(L"a\u20acb"), "a?b");  // typed into the memo, beyond one byte
}

TEST(Win32Text, ControlsShowAnAmpersandAsItIs) {
    EXPECT_EQ(literal("R&D && \xc3\xa9"), L"R&&D &&&& \u00e9");
}
