// The form's window: its class, its window procedure, its size and the focus
// and keyboard handling every form shares.

#include "toolkit/win32/Win32Peers.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "toolkit/Application.h"
#include "toolkit/win32/Win32Text.h"

namespace toolkit::win32 {

namespace {

constexpr int kDesignDpi = 96;
constexpr int kAppIconId = 1;  // the icon of app/win32/telvara.rc.in
constexpr UINT kMenuBarChanged = WM_APP + 1;

// Shown in the error box should the system refuse the program its windows.
constexpr const char* kErrorWindowClass = "Cannot register the window class";
constexpr const char* kErrorWindow = "Cannot create a window";

LRESULT CALLBACK formProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (window == nullptr || window->hwnd() == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    callSafely([&] {
        result = window->handle(message, wParam, lParam);
        handled = true;
    });
    return handled ? result : 0;
}

}  // namespace

void callSafely(const std::function<void()>& callback) {
    try {
        toolkit::dispatch(callback);
    } catch (...) {
        // Showing the error failed as well (out of memory, most likely); the
        // program goes on, as it would after the box.
    }
}

int screenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : kDesignDpi;
    }();
    return dpi;
}

int scaled(int designPixels) {
    return MulDiv(designPixels, screenDpi(), kDesignDpi);
}

void registerWindowClass() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = formProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.hIcon = LoadIconW(wc.hInstance, MAKEINTRESOURCEW(kAppIconId));
        if (wc.hIcon == nullptr) wc.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));                       // IDC_ARROW
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kFormClass;
        return RegisterClassExW(&wc) != 0;
    }();
    if (!registered) throw std::runtime_error(kErrorWindowClass);
}

// Tab and Shift+Tab walk the tab order, Space presses the focused button (the
// button itself does that), and Enter presses it too, as in any dialog; the
// dialog manager would only press a default button, and these have none.
bool preTranslate(MSG& message) {
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (root == nullptr) return false;
    auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(root, GWLP_USERDATA));
    wchar_t className[32] = {};
    GetClassNameW(root, className, 32);
    if (window == nullptr || std::wstring(className) != kFormClass) return false;
    if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN) {
        if (auto* control = Win32Control::of(GetFocus()); control != nullptr && dynamic_cast<Win32Button*>(control)) {
            SendMessageW(control->hwnd(), BM_CLICK, 0, 0);
            return true;
        }
    }
    return IsDialogMessageW(root, &message) != FALSE;
}

Win32Window::Win32Window() {
    registerWindowClass();
    hwnd_ = CreateWindowExW(0, kFormClass, L"", style(), CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                            GetModuleHandleW(nullptr), this);
    if (hwnd_ == nullptr) throw std::runtime_error(kErrorWindow);
}

Win32Window::~Win32Window() {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

DWORD Win32Window::style() const {
    if (border_ == native::Border::Sizeable) return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    return WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
}

void Win32Window::setCaption(const std::string& caption) {
    SetWindowTextW(hwnd_, fromUtf8(caption).c_str());
}

void Win32Window::setBorder(native::Border border) {
    border_ = border;
    const LONG_PTR visible = GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style()) | visible);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    applySize();
}

void Win32Window::setClientSize(int width, int height) {
    clientWidth_ = width;
    clientHeight_ = height;
    applySize();
}

// Once for a whole run of menu changes: building or emptying a menu changes
// the bar item by item, and each redraw and resize costs a round to the display.
void Win32Window::menuBarChanged() {
    if (menuChangePending_) return;
    menuChangePending_ = true;
    PostMessageW(hwnd_, kMenuBarChanged, 0, 0);
}

// The outer size that gives the design's client area; a menu bar that wraps to
// a second row is only known once it is there, so the height is corrected after.
void Win32Window::applySize() {
    if (clientWidth_ <= 0 && clientHeight_ <= 0) return;
    const int width = scaled(clientWidth_), height = scaled(clientHeight_);
    RECT outer{0, 0, width, height};
    AdjustWindowRectEx(&outer, style(), GetMenu(hwnd_) != nullptr, 0);
    int outerWidth = outer.right - outer.left, outerHeight = outer.bottom - outer.top;
    SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        const int missing = height - (client.bottom - client.top);
        if (missing == 0) break;
        outerHeight += missing;
        SetWindowPos(hwnd_, nullptr, 0, 0, outerWidth, outerHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    layoutDocked();
}

void Win32Window::setPosition(int left, int top) {
    SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::setVisible(bool visible) {
    if (!visible) {
        ShowWindow(hwnd_, SW_HIDE);
        return;
    }
    ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOWNORMAL);
    SetForegroundWindow(hwnd_);
    if (!shownBefore_) {
        shownBefore_ = true;
        if (!tabOrder_.empty()) SetFocus(tabOrder_.front());
    }
}

bool Win32Window::isVisible() const {
    return IsWindowVisible(hwnd_) != FALSE;
}

// Windows walks the tab stops in z-order, so the controls are stacked in tab order.
void Win32Window::setTabOrder(const std::vector<native::Control*>& order) {
    tabOrder_.clear();
    HWND previous = HWND_TOP;
    for (native::Control* control : order) {
        auto* peer = dynamic_cast<Win32Control*>(control);
        if (peer == nullptr) continue;
        HWND child = peer->hwnd();
        SetWindowLongPtrW(child, GWL_STYLE, GetWindowLongPtrW(child, GWL_STYLE) | WS_TABSTOP);
        SetWindowPos(child, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        tabOrder_.push_back(child);
        previous = child;
    }
}

void Win32Window::dock(Win32Control& control, native::Align align) {
    undock(control);
    if (align != native::Align::None) docked_.emplace_back(&control, align);
    layoutDocked();
}

void Win32Window::undock(Win32Control& control) {
    std::erase_if(docked_, [&](const auto& entry) { return entry.first == &control; });
}

void Win32Window::layoutDocked() {
    RECT client{};
    GetClientRect(hwnd_, &client);
    for (auto& [control, align] : docked_) {
        if (align == native::Align::Client) {
            MoveWindow(control->hwnd(), 0, 0, client.right, client.bottom, TRUE);
        } else if (align == native::Align::Bottom) {
            const int height = scaled(control->designHeight());
            MoveWindow(control->hwnd(), 0, client.bottom - height, client.right, height, TRUE);
        }
    }
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMenuBarChanged:
            menuChangePending_ = false;
            DrawMenuBar(hwnd_);
            applySize();
            return 0;
        case WM_CLOSE:
            // The form decides: the main form ends the program, any other hides.
            if (onCloseRequest) onCloseRequest();
            return 0;
        case WM_SIZE: layoutDocked(); return 0;
        case WM_ACTIVATE:
            // Back to the control that had the focus, or the first tab stop.
            if (LOWORD(wParam) == WA_INACTIVE) {
                HWND focus = GetFocus();
                if (focus != nullptr && IsChild(hwnd_, focus)) lastFocus_ = focus;
            } else if (HIWORD(wParam) == 0) {
                HWND target = lastFocus_ != nullptr && IsWindow(lastFocus_) ? lastFocus_
                              : !tabOrder_.empty()                          ? tabOrder_.front()
                                                                            : nullptr;
                if (target != nullptr) {
                    SetFocus(target);
                    return 0;
                }
            }
            break;
        case WM_COMMAND:
            if (lParam != 0) {
                if (Win32Control* control = Win32Control::of(reinterpret_cast<HWND>(lParam)))
                    control->command(HIWORD(wParam));
            } else if (HIWORD(wParam) == 0) {
                if (Win32MenuItem* item = Win32MenuItem::byCommand(LOWORD(wParam)); item && item->onClick)
                    item->onClick();
            }
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            if (Win32Control* control = Win32Control::of(reinterpret_cast<HWND>(lParam)))
                if (HBRUSH brush = control->colors(reinterpret_cast<HDC>(wParam)))
                    return reinterpret_cast<LRESULT>(brush);
            break;
        default: break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

HWND win32Window(const TForm& form) {
    return dynamic_cast<Win32Window&>(form.nativeWindow()).hwnd();
}

}  // namespace toolkit::win32
