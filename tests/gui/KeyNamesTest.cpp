// The command line's key names against the keypad as designed: a name stands
// for a key the window has, with its caption and the command it sends, so the
// two cannot drift apart.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>

#include "app/Unit1.h"
#include "toolkit/FormDesign.h"
#include "tools/send/KeyNames.h"

namespace {

TEST(KeyNames, EveryNameIsAKeypadKeyWithItsCaptionAndCommand) {
    const auto& controls = TForm1::Design().controls;
    for (const sender::KeyName& key : sender::keyNames()) {
        const std::string command = std::to_string(key.command);
        const bool onKeypad = std::ranges::any_of(controls, [&](const auto& control) {
            return control.onClick != nullptr && key.caption == control.caption && command == control.hint;
        });
        EXPECT_TRUE(onKeypad) << key.name << ": no key \"" << key.caption << "\" sending " << command;
    }
}

}  // namespace
