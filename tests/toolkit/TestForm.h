#pragma once
// A form with one of each kind of component, built from its design table the
// way the program's forms are; the tests of the portable rules run on it.

#include <stdexcept>
#include <string>
#include <vector>

#include "toolkit/FormDesign.h"

class TTestForm : public TForm {
public:
    TLabel* Label1 = nullptr;
    TBitBtn* Button1 = nullptr;
    TBitBtn* Button2 = nullptr;
    TEdit* Edit1 = nullptr;
    TMemo* Memo1 = nullptr;
    TStatusBar* StatusBar = nullptr;
    TMainMenu* Menu1 = nullptr;
    TMenuItem* MenuTop = nullptr;
    TMenuItem* Plain = nullptr;
    TMenuItem* RadioA = nullptr;
    TMenuItem* RadioB = nullptr;
    TMenuItem* OtherGroup = nullptr;
    TMenuItem* Line = nullptr;
    TMenuItem* Sub = nullptr;
    TMenuItem* SubItem = nullptr;
    TMenuItem* MenuSecond = nullptr;
    TTimer* Timer1 = nullptr;

    std::vector<std::string> events;  // "<handler> <sender's name>", in order
    TCloseAction closeAction = TCloseAction::Close;
    static inline bool failOnCreate = false;  // for the next forms made

    void FormCreate(TObject* Sender) {
        record("FormCreate", Sender);
        if (failOnCreate) throw std::runtime_error("cannot read the settings");
    }
    void FormHide(TObject* Sender) { record("FormHide", Sender); }
    void FormClose(TObject* Sender, TCloseAction& Action) {
        record("FormClose", Sender);
        Action = closeAction;
    }
    void ButtonClick(TObject* Sender) { record("ButtonClick", Sender); }
    void ItemClick(TObject* Sender) { record("ItemClick", Sender); }
    void Timer1Timer(TObject* Sender) { record("Timer1Timer", Sender); }

    explicit TTestForm(TComponent* Owner) : TForm(Owner) { LoadDesign(this, Design()); }

    static const TFormDesign<TTestForm>& Design() {
        using F = TTestForm;
        static const TControlDesign<F> controls[] = {
            {&F::Label1, "Label1", 4, 6, 30, 13, "A & B"},
            {&F::Button2, "Button2", 40, 30, 25, 25, "2", "22", 1, &F::ButtonClick},
            {&F::Button1, "Button1", 10, 30, 25, 25, "1", "11", 0, &F::ButtonClick},
            {&F::Edit1, "Edit1", 10, 60, 50, 21, "-", "", 2, nullptr, TAlign::None, csReadOnly | csButtonFaceColor},
            {&F::Memo1, "Memo1", 0, 90, 100, 50, "", "", 3, nullptr, TAlign::Client, csBothScrollBars | csNoWordWrap},
            {&F::StatusBar, "StatusBar", 0, 180, 100, 19, "", "", -1, nullptr, TAlign::Bottom},
        };
        static const TMenuDesign<F> menu[] = {
            {&F::MenuTop, "MenuTop", 0, "Top"},
            {&F::Plain, "Plain", 1, "Plain", false, false, 0, "7", &F::ItemClick},
            {&F::RadioA, "RadioA", 1, "A", true, true, 3, "", &F::ItemClick},
            {&F::RadioB, "RadioB", 1, "B", false, true, 3, "", &F::ItemClick},
            {&F::OtherGroup, "OtherGroup", 1, "Other", true, true, 4, "", &F::ItemClick},
            {&F::Line, "Line", 1, "-"},
            {&F::Sub, "Sub", 1, "Sub"},
            {&F::SubItem, "SubItem", 2, "Inner", false, false, 0, "", &F::ItemClick},
            {&F::MenuSecond, "MenuSecond", 0, "Tools"},
        };
        static const TTimerDesign<F> timers[] = {{&F::Timer1, "Timer1", 250, true, &F::Timer1Timer}};
        static const TFormDesign<F> design{
            "TestForm",   "Test",       20,      30,       100,  200,    TBorderStyle::Fixed,
            false,        &F::Menu1,    "Menu1", controls, menu, timers, &F::FormCreate,
            &F::FormHide, &F::FormClose};
        return design;
    }

private:
    void record(const char* handler, TObject* Sender) {
        const auto* component = dynamic_cast<TComponent*>(Sender);
        events.push_back(std::string(handler) + " " + (component != nullptr ? component->Name : "?"));
    }
};
