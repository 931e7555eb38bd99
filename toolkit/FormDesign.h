#pragma once
// A window's design as data: the form's properties, its controls, its menu
// tree and its timers, one row each, binding a component pointer member and
// its handlers by member pointer. The app keeps one such table beside each
// form unit; LoadDesign builds the window from it.

#include <span>
#include <type_traits>
#include <variant>
#include <vector>

#include "toolkit/Button.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"
#include "toolkit/Memo.h"
#include "toolkit/Menu.h"
#include "toolkit/StatusBar.h"
#include "toolkit/Timer.h"

template <class F>
using TFormEvent = void (F::*)(TObject* Sender);
template <class F>
using TFormCloseEvent = void (F::*)(TObject* Sender, TCloseAction& Action);

// The control's kind follows from the type of the member it is stored in.
template <class F>
// Kept by hand: the formatter would space these pointers to members like products.
// clang-format off
using TControlField = std::variant<TLabel* F::*, TBitBtn* F::*, TEdit* F::*, TMemo* F::*, TStatusBar* F::*>;
// clang-format on

// Extra styles of a control row, or-ed together.
enum TControlStyle : unsigned {
    csDefault = 0,
    csReadOnly = 1u << 0,         // TEdit, TMemo
    csButtonFaceColor = 1u << 1,  // TEdit: filled like the window, not like a field
    csBothScrollBars = 1u << 2,   // TMemo: both scroll bars always there
    csNoWordWrap = 1u << 3,       // TMemo
};

template <class F>
struct TControlDesign {
    TControlField<F> field;
    const char* name;
    int left, top, width, height;
    const char* caption;  // the text of a TEdit
    const char* hint = "";
    int tabOrder = -1;  // -1: not a tab stop
    TFormEvent<F> onClick = nullptr;
    TAlign align = TAlign::None;
    unsigned style = csDefault;
};

// Menu rows in menu order; level 0 is the bar, level 1 an item under the last
// level-0 row, and so on.
template <class F>
struct TMenuDesign {
    TMenuItem* F::*field;
    const char* name;
    int level;
    const char* caption;  // "-" for a separator line
    bool checked = false;
    bool radioItem = false;
    int groupIndex = 0;
    const char* hint = "";
    TFormEvent<F> onClick = nullptr;
};

template <class F>
struct TTimerDesign {
    TTimer* F::*field;
    const char* name;
    int interval;
    bool enabled;
    TFormEvent<F> onTimer;
};

template <class F>
struct TFormDesign {
    const char* name;
    const char* caption;
    int left, top;  // outer edges when first shown
    int clientWidth, clientHeight;
    TBorderStyle borderStyle;
    bool visible;
    TMainMenu* F::*menu;  // nullptr: no menu bar
    const char* menuName;
    std::span<const TControlDesign<F>> controls;
    std::span<const TMenuDesign<F>> menuItems;
    std::span<const TTimerDesign<F>> timers;
    TFormEvent<F> onCreate = nullptr;
    TFormEvent<F> onHide = nullptr;
    TFormCloseEvent<F> onClose = nullptr;
};

namespace toolkit::design {

template <class F>
TNotifyEvent bind(F* form, TFormEvent<F> handler) {
    if (handler == nullptr) return {};
    return [form, handler](TObject* sender) { (form->*handler)(sender); };
}

// Applies the row's properties that every kind shares; the rest is per kind.
void applyControl(TControl& control, const char* name, int left, int top, int width, int height, const char* caption,
                  const char* hint, int tabOrder, TAlign align, unsigned style);

}  // namespace toolkit::design

// Builds the window of `form` from `design` and sets its component members.
// Call it first thing in the form's constructor; the creation event runs later,
// from TApplication::MakeForm.
template <class F>
void LoadDesign(F* form, const TFormDesign<F>& design) {
    using toolkit::design::bind;
    form->Name = design.name;
    form->Caption = design.caption;
    form->SetPosition(design.left, design.top);
    form->SetClientSize(design.clientWidth, design.clientHeight);
    form->SetBorderStyle(design.borderStyle);

    for (const TControlDesign<F>& row : design.controls) {
        std::visit(
            [&](auto member) {
                using Kind = std::remove_pointer_t<std::remove_reference_t<decltype(form->*member)>>;
                auto* control = new Kind(form);
                form->*member = control;
                toolkit::design::applyControl(*control, row.name, row.left, row.top, row.width, row.height, row.caption,
                                              row.hint, row.tabOrder, row.align, row.style);
                if constexpr (std::is_same_v<Kind, TBitBtn>) control->OnClick = bind(form, row.onClick);
            },
            row.field);
    }
    form->UpdateTabOrder();

    if (design.menu != nullptr) {
        auto* menu = new TMainMenu(form);
        menu->Name = design.menuName;
        form->*(design.menu) = menu;
        std::vector<TMenuItem*> path{menu->Items};  // path[level] is the parent of a row at that level
        for (const TMenuDesign<F>& row : design.menuItems) {
            path.resize(static_cast<std::size_t>(row.level) + 1);
            auto* item = new TMenuItem(form);
            item->Name = row.name;
            item->Caption = row.caption;
            item->Hint = row.hint;
            item->RadioItem = row.radioItem;
            item->GroupIndex = row.groupIndex;
            item->OnClick = bind(form, row.onClick);
            form->*(row.field) = item;
            path.back()->Add(item);
            item->Checked = row.checked;
            path.push_back(item);
        }
        form->SetMenu(menu);
    }

    for (const TTimerDesign<F>& row : design.timers) {
        auto* timer = new TTimer(form);
        timer->Name = row.name;
        timer->OnTimer = bind(form, row.onTimer);
        timer->Interval = row.interval;
        timer->Enabled = row.enabled;
        form->*(row.field) = timer;
    }

    form->OnCreate = bind(form, design.onCreate);
    form->OnHide = bind(form, design.onHide);
    if (design.onClose != nullptr) {
        auto handler = design.onClose;
        form->OnClose = [form, handler](TObject* sender, TCloseAction& action) { (form->*handler)(sender, action); };
    }
    form->Visible = design.visible;
}
