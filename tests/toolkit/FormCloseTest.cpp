// Closing a form: the close handler decides whether it closes; the main form
// then ends the program, any other form hides.

#include <gtest/gtest.h>

#include "tests/toolkit/RecordingApplication.h"
#include "tests/toolkit/TestForm.h"

using namespace toolkit::recording;

namespace {

class FormClose : public RecordingApplication {
protected:
    void SetUp() override {
        RecordingApplication::SetUp();
        Application->MakeForm(&mainForm);
        Application->MakeForm(&otherForm);
        mainForm->Show();
        otherForm->Show();
        mainForm->events.clear();
        otherForm->events.clear();
    }
    TTestForm* mainForm = nullptr;
    TTestForm* otherForm = nullptr;
};

}  // namespace

TEST_F(FormClose, ClosingTheMainFormEndsTheProgramOnceHoweverOftenItIsAsked) {
    peerOf(*mainForm).onCloseRequest();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_EQ(backend->quits, 1);
    peerOf(*mainForm).onCloseRequest();  // a second request queued behind the first
    mainForm->Close();
    EXPECT_EQ(mainForm->events, std::vector<std::string>{"FormClose TestForm"});
    EXPECT_EQ(backend->quits, 1);
    EXPECT_TRUE(otherForm->Visible.get());
}

TEST_F(FormClose, ClosingAnyOtherFormHidesItAndTheProgramGoesOn) {
    peerOf(*otherForm).onCloseRequest();
    EXPECT_EQ(otherForm->events, (std::vector<std::string>{"FormClose TestForm", "FormHide TestForm"}));
    EXPECT_FALSE(peerOf(*otherForm).visible);
    EXPECT_FALSE(Application->Terminated());
    EXPECT_EQ(backend->quits, 0);
}

TEST_F(FormClose, AFormWhoseHandlerSaysStayStaysAsItIs) {
    for (TTestForm* form : {mainForm, otherForm}) {
        form->closeAction = TCloseAction::Stay;
        peerOf(*form).onCloseRequest();
        EXPECT_EQ(form->events, std::vector<std::string>{"FormClose TestForm"});
        EXPECT_TRUE(peerOf(*form).visible);
    }
    EXPECT_FALSE(Application->Terminated());
}
