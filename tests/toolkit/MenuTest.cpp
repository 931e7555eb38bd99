// Menu items: radio groups, checking left to the handler, and items added and
// removed at run time with their access keys and native places kept right.

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/toolkit/RecordingApplication.h"
#include "tests/toolkit/TestForm.h"

using namespace toolkit::recording;

namespace {

class MenuTest : public RecordingApplication {
protected:
    void SetUp() override {
        RecordingApplication::SetUp();
        Application->MakeForm(&form);
    }
    TTestForm* form = nullptr;
};

}  // namespace

TEST_F(MenuTest, ChoosingAnItemRunsItsHandlerAndLeavesCheckingToIt) {
    form->events.clear();
    peerOf(*form->RadioB).onClick();
    peerOf(*form->Plain).onClick();
    EXPECT_EQ(form->events, (std::vector<std::string>{"ItemClick RadioB", "ItemClick Plain"}));
    EXPECT_TRUE(form->RadioA->Checked.get());
    EXPECT_FALSE(form->RadioB->Checked.get());
    EXPECT_FALSE(form->Plain->Checked.get());
    EXPECT_TRUE(peerOf(*form->RadioA).checked);
    EXPECT_FALSE(peerOf(*form->RadioB).checked);
}

TEST_F(MenuTest, CheckingARadioItemUnchecksOnlyItsOwnGroup) {
    form->RadioB->Checked = true;
    EXPECT_FALSE(form->RadioA->Checked.get());
    EXPECT_FALSE(peerOf(*form->RadioA).checked);
    EXPECT_TRUE(form->OtherGroup->Checked.get());
    form->Plain->Checked = true;  // not a radio item: takes no one's mark
    EXPECT_TRUE(form->RadioB->Checked.get());
    EXPECT_TRUE(peerOf(*form->Plain).checked);
    form->RadioB->Checked = false;  // a group may have none checked
    EXPECT_FALSE(peerOf(*form->RadioB).checked);
    EXPECT_FALSE(form->RadioA->Checked.get());
}

TEST_F(MenuTest, ItemsAddedAndRemovedAtRunTimeKeepAccessKeysAndNativePlacesRight) {
    auto* added = new TMenuItem(form->MenuTop);
    added->Caption = "Pane";
    EXPECT_EQ(added->DisplayCaption(), "Pane");  // outside a menu: no marker
    form->MenuTop->Add(added);
    EXPECT_EQ(added->DisplayCaption(), "Pa&ne");  // P is Plain's, A is A's
    EXPECT_EQ(peerOf(*form->MenuTop).children.back(), &peerOf(*added));

    form->MenuTop->Delete(0);  // Plain leaves the menu, still owned
    EXPECT_EQ(peerOf(*added).caption, "&Pane");
    EXPECT_EQ(form->Plain->Parent(), nullptr);
    EXPECT_EQ(peerOf(*form->Plain).parent, nullptr);
    EXPECT_EQ(peerOf(*form->Plain).caption, "Plain");

    form->MenuTop->Insert(0, form->Plain);
    EXPECT_EQ(peerOf(*form->Plain).caption, "&Plain");
    EXPECT_EQ(peerOf(*added).caption, "Pa&ne");
    EXPECT_THROW(form->MenuTop->Add(form->Plain), std::logic_error);
    EXPECT_THROW(form->MenuTop->Delete(form->MenuTop->Count()), std::out_of_range);

    delete added;  // goes from its menu too
    EXPECT_EQ(form->MenuTop->Count(), 6);
    EXPECT_EQ(peerOf(*form->MenuTop).children.size(), 6u);
}

TEST_F(MenuTest, ALiteralAmpersandInACaptionStaysLiteral) {
    form->Plain->Caption = "R&D";
    EXPECT_EQ(peerOf(*form->Plain).caption, "&R&&D");
    form->Plain->Caption = "-";
    EXPECT_TRUE(peerOf(*form->Plain).separator);
}
