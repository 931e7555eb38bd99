#pragma once
// The form toolkit the program is written against: forms built from design
// tables, the application object, message boxes and the error display.
//
// Backend boundary (read this before writing a backend):
// - Everything in this header and the headers it includes is portable and
//   implemented once in toolkit/*.cpp: properties, ownership, radio groups,
//   access keys (AccessKeys.h), building a form from its design table
//   (FormDesign.h), catching what a handler throws and showing it.
// - A backend implements the peers of NativePeers.h and
//   toolkit::native::createBackend() in its own folder (toolkit/qt,
//   toolkit/win32), and CMake links exactly one of them. Nothing else changes:
//   app/ never sees a backend type.
// - Every user action reaches the portable side through a peer's std::function
//   (Button::onClick, MenuItem::onClick, Timer::onTimer, Window::onCloseRequest);
//   the portable side runs the handler inside toolkit::dispatch.

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Classes.h"
#include "toolkit/ComCtrls.h"
#include "toolkit/Controls.h"
#include "toolkit/ExtCtrls.h"
#include "toolkit/Menus.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"
#include "toolkit/StdCtrls.h"

// Message-box styles and answers, with the values Windows gives them.
#ifndef MB_OK
inline constexpr int MB_OK = 0x00;
#endif
#ifndef MB_OKCANCEL
inline constexpr int MB_OKCANCEL = 0x01;
#endif
#ifndef MB_ICONSTOP
inline constexpr int MB_ICONSTOP = 0x10;
#endif
#ifndef IDOK
inline constexpr int IDOK = 1;
#endif
#ifndef IDCANCEL
inline constexpr int IDCANCEL = 2;
#endif

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

enum class TBorderStyle { bsSingle, bsSizeable };  // bsSingle: fixed size, no maximise

class TForm : public TComponent {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    Property<TForm, std::string> Caption{this, &TForm::captionChanged};
    Property<TForm, bool> Visible{this, &TForm::visibleChanged, false};
    TNotifyEvent OnCreate;
    TNotifyEvent OnHide;   // whenever the form goes from shown to hidden
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
    TBorderStyle borderStyle_ = TBorderStyle::bsSizeable;
    TMainMenu* menu_ = nullptr;
    std::vector<TControl*> controls_;
};

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    // Starts the windowing backend; nothing else of the toolkit works before it.
    void Initialize();
    bool Initialized() const { return backend_ != nullptr; }

    Property<TApplication, std::string> Title{this, &TApplication::titleChanged};

    // Makes a form owned by the application, sets *Reference to it before its
    // creation event runs, and makes the first one the main form.
    template <class F>
    void CreateForm(F** Reference) {
        F* form = new F(this);
        *Reference = form;
        if (mainForm_ == nullptr) mainForm_ = form;
        form->DoCreate();
    }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and handles events until Terminate; then destroys the forms.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    void ProcessMessages();

    int MessageBox(const std::string& Text, const std::string& Caption, int Flags);
    // The standard error display: the message in a box with the title as caption and a stop icon.
    void ShowException(const std::exception& E);

    // Destroys every form and the backend; Initialize may start again afterwards.
    void Shutdown();

    toolkit::native::Backend& backend() const;

private:
    friend class TForm;
    void titleChanged();

    std::unique_ptr<toolkit::native::Backend> backend_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
};

extern TApplication* Application;

namespace toolkit {

// Runs a handler the way the event loop does: whatever it throws is shown with
// Application->ShowException and goes no further.
void dispatch(const std::function<void()>& handler);

}  // namespace toolkit
