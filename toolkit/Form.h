#pragma once
// A form: one top-level window built from its design table, with its controls,
// its menu bar and the rules for closing it.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/Control.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"

class TMainMenu;

// What a close handler leaves the form to do: Close (the default) ends the
// program for the main form and hides any other; Stay keeps it as it is.
enum class TCloseAction { Stay, Close };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum class TBorderStyle { Fixed, Sizeable };  // Fixed: no resizing, no maximise

class TForm : public TComponent {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    Property<TForm, std::string> Caption{this, &TForm::captionChanged};
    Property<TForm, bool> Visible{this, &TForm::visibleChanged, false};
    TNotifyEvent OnCreate;
    TNotifyEvent OnHide;  // whenever the form goes from shown to hidden
    TCloseEvent OnClose;

    void Show() { Visible = true; }
    void Hide() { Visible = false; }
    // Runs OnClose; then the main form ends the program and any other form hides.
    // Once the program is ending, closing the main form again does nothing.
    void Close();

    int Left() const { return left_; }
    int Top() const { return top_; }
    int ClientWidth() const { return clientWidth_; }
    int ClientHeight() const { return clientHeight_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    TMainMenu* Menu() const { return menu_; }

    // Design-time settings, used while the form is built from its table.
    void SetPosition(int ALeft, int ATop);
    void SetClientSize(int AWidth, int AHeight);
    void SetBorderStyle(TBorderStyle ABorderStyle);
    void SetMenu(TMainMenu* AMenu);
    // Controls in creation order; the focus cycle follows their TabOrder.
    void InsertControl(TControl* AControl);
    void RemoveControl(TControl* AControl);
    const std::vector<TControl*>& Controls() const { return controls_; }
    void UpdateTabOrder();

    // The creation event, run once construction is complete; what it throws is shown.
    void DoCreate();

    toolkit::native::Window& nativeWindow() const { return *native_; }

private:
    void captionChanged();
    void visibleChanged();

    std::unique_ptr<toolkit::native::Window> native_;
    int left_ = 0, top_ = 0, clientWidth_ = 0, clientHeight_ = 0;
    TBorderStyle borderStyle_ = TBorderStyle::Sizeable;
    TMainMenu* menu_ = nullptr;
    std::vector<TControl*> controls_;
};
