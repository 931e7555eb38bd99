#pragma once
// The application: its forms, its event loop, message boxes and the error display.
//
// Backend boundary (read this before writing a backend):
// - The portable side (toolkit/*.h, implemented once in toolkit/*.cpp) holds
//   properties, ownership, radio groups, access keys (AccessKeys.h), building
//   a form from its design table (FormDesign.h), catching what a handler throws
//   and showing it. It never names a backend.
// - A backend implements the peers of NativePeers.h and
//   toolkit::native::createBackend() in its own folder and CMake target
//   (toolkit/qt, toolkit/win32); a program links the portable toolkit and
//   exactly one of them. app/ never sees a backend type.
// - Every user action reaches the portable side through a peer's std::function
//   (Button::onClick, MenuItem::onClick, Timer::onTimer, Window::onCloseRequest);
//   the portable side runs the handler inside toolkit::dispatch.

#include <exception>
#include <functional>
#include <memory>
#include <string>

#include "toolkit/Component.h"
#include "toolkit/Form.h"
#include "toolkit/NativePeers.h"
#include "toolkit/Property.h"

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

class TApplication : public TComponent {
public:
    using BackendMaker = std::function<std::unique_ptr<toolkit::native::Backend>()>;

    TApplication();
    ~TApplication() override;

    // Starts the windowing backend, the one linked into the program unless a
    // test brings its own; nothing else of the toolkit works before it. A
    // backend already running is kept.
    void Initialize(const BackendMaker& makeBackend = toolkit::native::createBackend);
    bool Initialized() const { return backend_ != nullptr; }

    Property<TApplication, std::string> Title{this, &TApplication::titleChanged};

    // Makes a form owned by the application, sets *Reference to it before its
    // creation event runs, and makes the first one the main form.
    template <class F>
    void MakeForm(F** Reference) {
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
