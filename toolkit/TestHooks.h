#pragma once
// Seams for tests of programs written with the toolkit. Not for the program itself.

#include <functional>
#include <string>

namespace toolkit::testing {

// When set, TApplication::MessageBox asks this instead of showing a box; it
// gets what the box would have shown and returns the button the user pressed
// (IDOK, IDCANCEL). It may run Application->ProcessMessages() to stand for
// the box's own message loop.
using MessageBoxAnswer = std::function<int(const std::string& text, const std::string& caption, int flags)>;
void setMessageBoxAnswer(MessageBoxAnswer answer);  // an empty function removes it
const MessageBoxAnswer& messageBoxAnswer();

}  // namespace toolkit::testing
