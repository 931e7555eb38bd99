#pragma once
// Texts between the portable side and Windows, which takes UTF-16: captions
// are UTF-8, the memo's text is Latin-1 byte for byte.

#include <string>

namespace toolkit::win32 {

std::wstring fromUtf8(const std::string& text);  // invalid sequences become U+FFFD
std::string toUtf8(const std::wstring& text);
// Buttons and labels show their text as it is: a '&' is no access-key marker there.
std::wstring literal(const std::string& text);
// One byte, one character: Latin-1 is the first 256 code points of UTF-16.
std::wstring fromLatin1(const std::string& bytes);
std::string toLatin1(const std::wstring& text);  // a character beyond Latin-1 becomes '?'

}  // namespace toolkit::win32
