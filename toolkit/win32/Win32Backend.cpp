// The Win32 backend: creates the peers, runs the message loop, shows message
// boxes and keeps the thread timers.

#include <map>

#include "toolkit/win32/Win32Peers.h"
#include "toolkit/win32/Win32Text.h"

namespace toolkit::win32 {

namespace {

std::map<UINT_PTR, Win32Timer*>& timers() {
    static std::map<UINT_PTR, Win32Timer*> items;
    return items;
}

}  // namespace

Win32Timer::~Win32Timer() {
    enabled_ = false;
    start();
}

void Win32Timer::setInterval(int milliseconds) {
    interval_ = milliseconds;
    start();
}

void Win32Timer::setEnabled(bool enabled) {
    enabled_ = enabled;
    start();
}

// A thread timer: its WM_TIMER reaches every message loop of the thread,
// a message box's too, so the receive poll goes on while one is shown.
void Win32Timer::start() {
    if (id_ != 0) {
        KillTimer(nullptr, id_);
        timers().erase(id_);
        id_ = 0;
    }
    if (!enabled_ || interval_ <= 0) return;
    id_ = SetTimer(nullptr, 0, static_cast<UINT>(interval_), &Win32Timer::tick);
    if (id_ != 0) timers()[id_] = this;
}

void CALLBACK Win32Timer::tick(HWND, UINT, UINT_PTR id, DWORD) {
    const auto found = timers().find(id);
    if (found == timers().end()) return;
    Win32Timer* timer = found->second;
    callSafely([timer] {
        if (timer->onTimer) timer->onTimer();
    });
}

namespace {

class Win32Backend : public native::Backend {
public:
    Win32Backend() {
        // Scaled by this program, not stretched as a bitmap by the system.
        SetProcessDPIAware();
        registerWindowClass();
    }

    std::unique_ptr<native::Window> createWindow() override { return std::make_unique<Win32Window>(); }
    std::unique_ptr<native::Button> createButton(native::Window& p) override {
        return std::make_unique<Win32Button>(p);
    }
    std::unique_ptr<native::Label> createLabel(native::Window& p) override { return std::make_unique<Win32Label>(p); }
    std::unique_ptr<native::Edit> createEdit(native::Window& p) override { return std::make_unique<Win32Edit>(p); }
    std::unique_ptr<native::Memo> createMemo(native::Window& p) override { return std::make_unique<Win32Memo>(p); }
    std::unique_ptr<native::StatusBar> createStatusBar(native::Window& p) override {
        return std::make_unique<Win32StatusBar>(p);
    }
    std::unique_ptr<native::MenuItem> createMenuBar(native::Window& p) override {
        return std::make_unique<Win32MenuBar>(p);
    }
    std::unique_ptr<native::MenuItem> createMenuItem() override { return std::make_unique<Win32MenuItem>(); }
    std::unique_ptr<native::Timer> createTimer() override { return std::make_unique<Win32Timer>(); }

    // Each form shows its own caption in the task bar; the title is the caption of the boxes.
    void setTitle(const std::string& title) override { title_ = title; }

    // Task-modal with no owner: every window of the program is disabled while
    // the box is up, and the box's own loop keeps the thread timers ticking.
    int messageBox(const std::string& text, const std::string& caption, int flags) override {
        return MessageBoxW(nullptr, fromUtf8(text).c_str(), fromUtf8(caption).c_str(),
                           static_cast<UINT>(flags) | MB_TASKMODAL | MB_SETFOREGROUND);
    }

    void run() override {
        running_ = true;
        MSG message;
        while (GetMessageW(&message, nullptr, 0, 0) > 0) dispatch(message);
        running_ = false;
    }

    // Outside run() a WM_QUIT would linger and end the next message box at once.
    void quit() override {
        if (running_) PostQuitMessage(0);
    }

    void processMessages() override {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));  // for the loop that waits for it
                return;
            }
            dispatch(message);
        }
    }

private:
    static void dispatch(MSG& message) {
        if (preTranslate(message)) return;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    std::string title_;
    bool running_ = false;
};

}  // namespace
}  // namespace toolkit::win32

std::unique_ptr<toolkit::native::Backend> toolkit::native::createBackend() {
    return std::make_unique<toolkit::win32::Win32Backend>();
}
