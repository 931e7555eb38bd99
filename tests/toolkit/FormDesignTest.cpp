// Building a form from its design table: every row becomes its component with
// its properties on the native peer, and every handler is bound to its row.

#include <gtest/gtest.h>

#include "tests/toolkit/RecordingApplication.h"
#include "tests/toolkit/TestForm.h"

using namespace toolkit::recording;
using toolkit::native::Align;

namespace {

class FormDesign : public RecordingApplication {
protected:
    void SetUp() override {
        RecordingApplication::SetUp();
        Application->MakeForm(&form);
    }
    TTestForm* form = nullptr;
};

std::vector<std::string> captions(const MenuItem& menu) {
    std::vector<std::string> shown;
    for (const MenuItem* item : menu.children) shown.push_back(item->separator ? "-" : item->caption);
    return shown;
}

}  // namespace

TEST_F(FormDesign, TheFormAndEachControlTakeTheirRow) {
    const Window& window = peerOf(*form);
    EXPECT_EQ(form->Name, "TestForm");
    EXPECT_EQ(window.caption, "Test");
    EXPECT_EQ(window.border, toolkit::native::Border::Fixed);
    EXPECT_EQ(std::make_pair(window.left, window.top), std::make_pair(20, 30));
    EXPECT_EQ(std::make_pair(window.clientWidth, window.clientHeight), std::make_pair(100, 200));
    EXPECT_FALSE(window.visible);

    EXPECT_EQ(form->FindComponent("Label1"), form->Label1);
    EXPECT_EQ(peerOf<Label>(*form->Label1).text, "A & B");  // shown literally: the backend's concern
    EXPECT_EQ(peerOf<Label>(*form->Label1).bounds, (Bounds{4, 6, 30, 13}));
    EXPECT_EQ(peerOf<Button>(*form->Button1).text, "1");
    EXPECT_EQ(form->Button1->Hint, "11");
    const Edit& edit = peerOf<Edit>(*form->Edit1);
    EXPECT_TRUE(edit.readOnly && edit.buttonFace);
    EXPECT_EQ(edit.text(), "-");
    const Memo& memo = peerOf<Memo>(*form->Memo1);
    EXPECT_TRUE(memo.horizontalBar && memo.verticalBar);
    EXPECT_FALSE(memo.wordWrap || memo.readOnly);
    EXPECT_EQ(memo.align, Align::Client);
    EXPECT_EQ(peerOf<StatusBar>(*form->StatusBar).align, Align::Bottom);
    EXPECT_EQ(form->Controls().size(), 6u);
}

TEST_F(FormDesign, TheFocusCycleFollowsTheTabOrderNotTheRows) {
    const std::vector<toolkit::native::Control*> cycle{form->Button1->nativeControl(), form->Button2->nativeControl(),
                                                       form->Edit1->nativeControl(), form->Memo1->nativeControl()};
    EXPECT_EQ(peerOf(*form).tabOrder, cycle);
}

TEST_F(FormDesign, MenuRowsNestByLevelWithAccessKeysChecksAndRadioGroups) {
    const MenuItem& bar = peerOf(*form->Menu1->Items);
    EXPECT_EQ(captions(bar), (std::vector<std::string>{"&Top", "T&ools"}));
    EXPECT_EQ(captions(peerOf(*form->MenuTop)),
              (std::vector<std::string>{"&Plain", "&A", "&B", "&Other", "-", "&Sub"}));
    EXPECT_EQ(captions(peerOf(*form->Sub)), std::vector<std::string>{"&Inner"});
    EXPECT_EQ(form->SubItem->Parent(), form->Sub);
    EXPECT_EQ(form->Plain->Hint, "7");

    const MenuItem& a = peerOf(*form->RadioA);
    EXPECT_TRUE(a.radio && a.checked);
    EXPECT_EQ(a.groupIndex, 3);
    EXPECT_TRUE(peerOf(*form->OtherGroup).checked);  // another group keeps its own check
    EXPECT_FALSE(peerOf(*form->RadioB).checked);
    EXPECT_FALSE(peerOf(*form->Plain).radio);
}

TEST_F(FormDesign, EachHandlerIsBoundToItsRowAndHearsItsOwnSender) {
    ASSERT_EQ(backend->timers.size(), 1u);
    Timer& timer = *backend->timers.front();
    EXPECT_EQ(timer.interval, 250);
    EXPECT_TRUE(timer.enabled);

    form->events.clear();
    peerOf<Button>(*form->Button2).onClick();
    peerOf(*form->SubItem).onClick();
    timer.onTimer();
    peerOf(*form->MenuTop).onClick();  // a row without a handler
    EXPECT_EQ(form->events,
              (std::vector<std::string>{"ButtonClick Button2", "ItemClick SubItem", "Timer1Timer Timer1"}));

    form->Timer1->Enabled = false;
    EXPECT_FALSE(timer.enabled);
}
