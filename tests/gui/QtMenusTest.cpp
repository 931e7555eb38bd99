// The Qt menus keep the marks and popups the portable items decide: a radio
// group's action group does not check on its own, an entry without items has
// no popup. (The portable rules themselves are tests/toolkit's.)

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <gtest/gtest.h>
#include <stdexcept>

#include "tests/toolkit/TestForm.h"
#include "toolkit/Application.h"
#include "toolkit/TestHooks.h"
#include "toolkit/qt/QtPeers.h"

namespace {

class QtMenus : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Application->Title = "Toolkit";
        toolkit::testing::setMessageBoxAnswer([](const std::string& text, const std::string&, int) {
            ADD_FAILURE() << "a box was shown: " << text;
            return IDOK;
        });
        Application->MakeForm(&form);
    }
    void TearDown() override {
        Application->DestroyComponents();
        toolkit::testing::setMessageBoxAnswer({});
    }
    TTestForm* form = nullptr;
};

}  // namespace

TEST_F(QtMenus, ChoosingAnItemRunsItsHandlerAndLeavesCheckingToIt) {
    toolkit::qt::qtAction(*form->RadioB)->trigger();
    toolkit::qt::qtAction(*form->RadioA)->trigger();
    toolkit::qt::qtAction(*form->Plain)->trigger();
    EXPECT_EQ(form->events.size(), 4u);  // the creation event and three clicks
    EXPECT_TRUE(form->RadioA->Checked.get());
    EXPECT_FALSE(form->RadioB->Checked.get());
    EXPECT_TRUE(toolkit::qt::qtAction(*form->RadioA)->isChecked());  // the native mark as the item says
    EXPECT_FALSE(toolkit::qt::qtAction(*form->RadioB)->isChecked());
    EXPECT_FALSE(toolkit::qt::qtAction(*form->Plain)->isChecked());
}

TEST_F(QtMenus, CheckingARadioItemUnchecksOnlyItsOwnGroup) {
    form->RadioB->Checked = true;
    EXPECT_FALSE(form->RadioA->Checked.get());
    EXPECT_TRUE(form->OtherGroup->Checked.get());
    form->Plain->Checked = true;  // not a radio item: takes no one's mark
    EXPECT_TRUE(form->RadioB->Checked.get());
    EXPECT_TRUE(toolkit::qt::qtAction(*form->Plain)->isChecked());
    form->RadioB->Checked = false;  // a group may have none checked
    EXPECT_FALSE(toolkit::qt::qtAction(*form->RadioB)->isChecked());
    EXPECT_FALSE(form->RadioA->Checked.get());
}

TEST_F(QtMenus, ItemsAddedAndRemovedAtRunTimeKeepAccessKeysAndSubmenusRight) {
    auto* added = new TMenuItem(form->MenuTop);
    added->Caption = "Pane";
    form->MenuTop->Add(added);
    EXPECT_EQ(added->DisplayCaption(), "Pa&ne");  // P is Plain's, A is A's
    form->MenuTop->Delete(0);                     // Plain leaves the menu, still owned
    EXPECT_EQ(added->DisplayCaption(), "&Pane");
    EXPECT_FALSE(toolkit::qt::qtSubmenu(*form->MenuTop)->actions().contains(toolkit::qt::qtAction(*form->Plain)));
    while (form->MenuTop->Count() > 0) form->MenuTop->Delete(0);
    EXPECT_EQ(toolkit::qt::qtAction(*form->MenuTop)->menu(), nullptr);  // an entry without items has no popup
    form->MenuTop->Add(form->Plain);
    EXPECT_NE(toolkit::qt::qtAction(*form->MenuTop)->menu(), nullptr);
    EXPECT_THROW(form->MenuTop->Add(form->Plain), std::logic_error);
}
