// Toolkit behaviour the program relies on beyond what its own windows show:
// errors in a creation event, menu items made and removed at run time, radio
// groups, and menu clicks that leave checking to the handler.

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <gtest/gtest.h>
#include <stdexcept>

#include "toolkit/FormDesign.h"
#include "toolkit/TestHooks.h"
#include "toolkit/qt/QtPeers.h"

namespace {

class TTestForm : public TForm {
public:
    TMainMenu* Menu1 = nullptr;
    TMenuItem* MenuTop = nullptr;
    TMenuItem* Plain = nullptr;
    TMenuItem* RadioA = nullptr;
    TMenuItem* RadioB = nullptr;
    TMenuItem* OtherGroup = nullptr;
    int clicks = 0;

    void FormCreate(TObject*) { throw std::runtime_error("Failed to get data for 'x'"); }
    void ItemClick(TObject*) { ++clicks; }

    explicit TTestForm(TComponent* Owner) : TForm(Owner) { LoadDesign(this, Design()); }

    static const TFormDesign<TTestForm>& Design() {
        using F = TTestForm;
        static const TMenuDesign<F> menu[] = {
            {&F::MenuTop, "MenuTop", 0, "Top"},
            {&F::Plain, "Plain", 1, "Plain", false, false, 0, "", &F::ItemClick},
            {&F::RadioA, "RadioA", 1, "A", true, true, 3, "", &F::ItemClick},
            {&F::RadioB, "RadioB", 1, "B", false, true, 3, "", &F::ItemClick},
            {&F::OtherGroup, "OtherGroup", 1, "Other", true, true, 4, "", &F::ItemClick},
        };
        static const TFormDesign<F> design{"TestForm", "Test", 0, 0, 100, 100, TBorderStyle::bsSizeable, false,
                                           &F::Menu1, "Menu1", {}, menu, {}, &F::FormCreate};
        return design;
    }
};

class ToolkitTest : public ::testing::Test {
protected:
    void SetUp() override {
        Application->Initialize();
        Application->Title = "Toolkit";
        toolkit::testing::setMessageBoxAnswer([this](const std::string& text, const std::string& caption, int flags) {
            shown.push_back(text + "|" + caption + "|" + std::to_string(flags));
            return IDOK;
        });
        Application->CreateForm(&form);
    }
    void TearDown() override {
        Application->DestroyComponents();
        toolkit::testing::setMessageBoxAnswer({});
    }
    TTestForm* form = nullptr;
    std::vector<std::string> shown;
};

}  // namespace

TEST_F(ToolkitTest, AnErrorInTheCreationEventIsShownAndTheFormIsCreatedAllTheSame) {
    EXPECT_EQ(shown, std::vector<std::string>{"Failed to get data for 'x'|Toolkit|" + std::to_string(MB_OK | MB_ICONSTOP)});
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_NE(form->MenuTop, nullptr);
}

TEST_F(ToolkitTest, AnythingThrownFromAHandlerIsShownEvenIfItIsNoException) {
    shown.clear();
    form->Plain->OnClick = [](TObject*) { throw 42; };
    toolkit::qt::qtAction(*form->Plain)->trigger();
    EXPECT_EQ(shown, std::vector<std::string>{"Unknown exception|Toolkit|" + std::to_string(MB_OK | MB_ICONSTOP)});
}

TEST_F(ToolkitTest, ChoosingAnItemRunsItsHandlerAndLeavesCheckingToIt) {
    toolkit::qt::qtAction(*form->RadioB)->trigger();
    toolkit::qt::qtAction(*form->RadioA)->trigger();
    toolkit::qt::qtAction(*form->Plain)->trigger();
    EXPECT_EQ(form->clicks, 3);
    EXPECT_TRUE(form->RadioA->Checked.get());
    EXPECT_FALSE(form->RadioB->Checked.get());
    EXPECT_TRUE(toolkit::qt::qtAction(*form->RadioA)->isChecked());  // the native mark as the item says
    EXPECT_FALSE(toolkit::qt::qtAction(*form->RadioB)->isChecked());
    EXPECT_FALSE(toolkit::qt::qtAction(*form->Plain)->isChecked());
}

TEST_F(ToolkitTest, CheckingARadioItemUnchecksOnlyItsOwnGroup) {
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

TEST_F(ToolkitTest, ItemsAddedAndRemovedAtRunTimeKeepAccessKeysAndSubmenusRight) {
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
