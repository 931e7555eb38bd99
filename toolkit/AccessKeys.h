#pragma once
// Automatic access keys: each menu item gets the first letter of its caption
// that no earlier sibling has taken (case does not matter).

#include <string>
#include <vector>

namespace toolkit {

// The captions of one menu's items, in order, as the menu shows them: '&'
// before the chosen letter, "&&" for a literal '&'. A separator ("-") and a
// caption whose letters are all taken get no marker.
std::vector<std::string> withAccessKeys(const std::vector<std::string>& captions);

}  // namespace toolkit
