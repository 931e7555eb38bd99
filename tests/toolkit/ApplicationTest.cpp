// The application: its forms, its title and how it shows what a handler throws.

#include <gtest/gtest.h>

#include <stdexcept>

#include "tests/toolkit/RecordingApplication.h"
#include "tests/toolkit/TestForm.h"

using namespace toolkit::recording;

namespace {

const int kStopBox = MB_OK | MB_ICONSTOP;

class ApplicationTest : public RecordingApplication {
protected:
    void TearDown() override {
        TTestForm::failOnCreate = false;
        RecordingApplication::TearDown();
    }
    std::vector<std::string> shownTexts() const {
        std::vector<std::string> texts;
        for (const Box& box : backend->boxes) {
            EXPECT_EQ(box.caption, "Toolkit");
            EXPECT_EQ(box.flags, kStopBox);
            texts.push_back(box.text);
        }
        return texts;
    }
};

}  // namespace

TEST_F(ApplicationTest, TheFirstFormMadeIsTheMainFormAndItsReferenceIsSetBeforeItsCreationEvent) {
    TTestForm* first = nullptr;
    TTestForm* second = nullptr;
    Application->MakeForm(&first);
    Application->MakeForm(&second);
    EXPECT_EQ(Application->MainForm(), first);
    EXPECT_EQ(first->events, std::vector<std::string>{"FormCreate TestForm"});
    EXPECT_EQ(backend->title, "Toolkit");
    Application->Title = "Renamed";
    EXPECT_EQ(backend->title, "Renamed");
}

TEST_F(ApplicationTest, AnErrorInTheCreationEventIsShownAndTheFormIsCreatedAllTheSame) {
    TTestForm::failOnCreate = true;
    TTestForm* form = nullptr;
    Application->MakeForm(&form);
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"cannot read the settings"});
    EXPECT_EQ(Application->MainForm(), form);
    EXPECT_NE(form->SubItem, nullptr);
}

TEST_F(ApplicationTest, WhatAHandlerThrowsIsShownAndGoesNoFurther) {
    TTestForm* form = nullptr;
    Application->MakeForm(&form);
    form->Button1->OnClick = [](TObject*) { throw std::invalid_argument("not a key"); };
    form->Plain->OnClick = [](TObject*) { throw 42; };  // not even an exception
    form->Timer1->OnTimer = [](TObject*) { throw std::runtime_error("port gone"); };
    peerOf<Button>(*form->Button1).onClick();
    peerOf(*form->Plain).onClick();
    backend->timers.front()->onTimer();
    peerOf(*form).onCloseRequest();  // the program goes on: its main form still closes
    EXPECT_EQ(shownTexts(), (std::vector<std::string>{"not a key", "Unknown exception", "port gone"}));
    EXPECT_TRUE(Application->Terminated());
}
