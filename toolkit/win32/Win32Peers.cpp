#include "toolkit/win32/Win32Peers.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

namespace toolkit::win32 {

namespace {

constexpr const wchar_t* kFormClass = L"TelvaraForm";
constexpr const wchar_t* kFontFace = L"MS Sans Serif";  // wine and newer systems map it to a plain face
constexpr int kFontPoints = 8;
constexpr int kDesignDpi = 96;
constexpr UINT kFirstCommand = 1000;  // IDOK, IDCANCEL and friends stay free for the dialog manager
constexpr int kAppIconId = 1;         // the icon of app/win32/telvara.rc.in
constexpr UINT kMenuBarChanged = WM_APP + 1;

// Shown in the error box should the system refuse the program its windows.
constexpr const char* kErrorWindowClass = "Cannot register the window class";
constexpr const char* kErrorWindow = "Cannot create a window";
constexpr const char* kErrorControl = "Cannot create a control";

int screenDpi() {
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        const int value = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        return value > 0 ? value : kDesignDpi;
    }();
    return dpi;
}

HFONT formFont() {
    static HFONT font = CreateFontW(-MulDiv(kFontPoints, screenDpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                                    DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                    DEFAULT_PITCH | FF_SWISS, kFontFace);
    return font;
}

// Buttons and labels show their text as it is: a '&' is no access-key marker there.
std::wstring literal(const std::string& text) {
    std::wstring shown;
    for (wchar_t c : fromUtf8(text)) {
        if (c == L'&') shown += L'&';
        shown += c;
    }
    return shown;
}

// One byte, one character: Latin-1 is the first 256 code points of UTF-16.
std::wstring fromLatin1(const std::string& bytes) {
    std::wstring text(bytes.size(), L'\0');
    std::transform(bytes.begin(), bytes.end(), text.begin(),
                   [](char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); });
    return text;
}

std::string toLatin1(const std::wstring& text) {
    std::string bytes(text.size(), '\0');
    std::transform(text.begin(), text.end(), bytes.begin(),
                   [](wchar_t c) { return c < 256 ? static_cast<char>(c) : '?'; });
    return bytes;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

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

std::map<UINT, Win32MenuItem*>& commands() {
    static std::map<UINT, Win32MenuItem*> items;
    return items;
}

std::map<UINT_PTR, Win32Timer*>& timers() {
    static std::map<UINT_PTR, Win32Timer*> items;
    return items;
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

std::wstring fromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    if (length > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(length, 0)), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

int scaled(int designPixels) { return MulDiv(designPixels, screenDpi(), kDesignDpi); }

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
        wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));                        // IDC_ARROW
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

// ---- Win32Window

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

void Win32Window::setCaption(const std::string& caption) { SetWindowTextW(hwnd_, fromUtf8(caption).c_str()); }

void Win32Window::setBorder(native::Border border) {
    border_ = border;
    const LONG_PTR visible = GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(style()) | visible);
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
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

bool Win32Window::isVisible() const { return IsWindowVisible(hwnd_) != FALSE; }

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
    case WM_SIZE:
        layoutDocked();
        return 0;
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
            if (Win32Control* control = Win32Control::of(reinterpret_cast<HWND>(lParam))) control->command(HIWORD(wParam));
        } else if (HIWORD(wParam) == 0) {
            if (Win32MenuItem* item = Win32MenuItem::byCommand(LOWORD(wParam)); item && item->onClick) item->onClick();
        }
        return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        if (Win32Control* control = Win32Control::of(reinterpret_cast<HWND>(lParam)))
            if (HBRUSH brush = control->colors(reinterpret_cast<HDC>(wParam))) return reinterpret_cast<LRESULT>(brush);
        break;
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

// ---- controls

Win32Control::Win32Control(native::Window& parent, const wchar_t* windowClass, DWORD style, DWORD exStyle,
                           bool formFont_)
    : parent_(dynamic_cast<Win32Window&>(parent)) {
    hwnd_ = CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent_.hwnd(),
                            nullptr, GetModuleHandleW(nullptr), nullptr);
    if (hwnd_ == nullptr) throw std::runtime_error(kErrorControl);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    if (formFont_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(formFont()), FALSE);
}

Win32Control::~Win32Control() {
    parent_.undock(*this);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
}

Win32Control* Win32Control::of(HWND hwnd) {
    if (hwnd == nullptr) return nullptr;
    wchar_t className[32] = {};
    GetClassNameW(GetAncestor(hwnd, GA_ROOT), className, 32);
    if (std::wstring(className) != kFormClass || GetAncestor(hwnd, GA_ROOT) == hwnd) return nullptr;
    return reinterpret_cast<Win32Control*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Win32Control::place(int left, int top, int width, int height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    MoveWindow(hwnd_, scaled(left), scaled(top), scaled(width), scaled(height), TRUE);
}

void Win32Control::dockTo(native::Align align) { parent_.dock(*this, align); }

Win32Button::Win32Button(native::Window& parent) : Win32ControlOf(parent, WC_BUTTONW, BS_PUSHBUTTON | BS_CENTER, 0, true) {}

void Win32Button::setText(const std::string& text) { SetWindowTextW(hwnd_, literal(text).c_str()); }

void Win32Button::command(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

Win32Label::Win32Label(native::Window& parent) : Win32ControlOf(parent, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, true) {}

void Win32Label::setText(const std::string& text) { SetWindowTextW(hwnd_, fromUtf8(text).c_str()); }

Win32Edit::Win32Edit(native::Window& parent)
    : Win32ControlOf(parent, WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true) {}

void Win32Edit::setText(const std::string& text) { SetWindowTextW(hwnd_, fromUtf8(text).c_str()); }

void Win32Edit::setReadOnly(bool readOnly) { SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0); }

void Win32Edit::setButtonFaceColor(bool buttonFace) {
    buttonFace_ = buttonFace;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string Win32Edit::text() const { return toUtf8(windowText(hwnd_)); }

HBRUSH Win32Edit::colors(HDC dc) {
    const int background = buttonFace_ ? COLOR_BTNFACE : COLOR_WINDOW;
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(background));
    return GetSysColorBrush(background);
}

// CCS_NORESIZE and CCS_NOPARENTALIGN: the form docks it, like any control.
Win32StatusBar::Win32StatusBar(native::Window& parent)
    : Win32ControlOf(parent, STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0, false) {
    SendMessageW(hwnd_, SB_SIMPLE, TRUE, 0);
}

void Win32StatusBar::setText(const std::string& text) {
    SendMessageW(hwnd_, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(fromUtf8(text).c_str()));
}

// No wrapping needs ES_AUTOHSCROLL from the start; both bars are always there.
Win32Memo::Win32Memo(native::Window& parent)
    : Win32ControlOf(parent, WC_EDITW,
                     ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL |
                         WS_HSCROLL,
                     WS_EX_CLIENTEDGE, true) {
    // A multi-line edit stops taking text at 32 K characters unless told otherwise;
    // the debug window keeps every line of the run.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
}

void Win32Memo::setText(const std::string& latin1) { SetWindowTextW(hwnd_, fromLatin1(latin1).c_str()); }

void Win32Memo::setScrollBars(bool horizontal, bool vertical) {
    ShowScrollBar(hwnd_, SB_HORZ, horizontal);
    ShowScrollBar(hwnd_, SB_VERT, vertical);
}

void Win32Memo::setWordWrap(bool wrap) {
    // Whether an edit wraps is fixed when it is made; the debug window never
    // wraps, which is how it is made.
    (void)wrap;
}

void Win32Memo::setReadOnly(bool readOnly) { SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0); }

bool Win32Memo::endsWithEmptyLine() const {
    const LRESULT lines = SendMessageW(hwnd_, EM_GETLINECOUNT, 0, 0);
    const LRESULT start = SendMessageW(hwnd_, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    return SendMessageW(hwnd_, EM_LINELENGTH, static_cast<WPARAM>(start), 0) == 0;
}

void Win32Memo::insertAtEnd(const std::string& latin1) {
    const int end = GetWindowTextLengthW(hwnd_);
    SendMessageW(hwnd_, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
    // What the program appends cannot be undone.
    SendMessageW(hwnd_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(fromLatin1(latin1).c_str()));
    SendMessageW(hwnd_, EM_SCROLLCARET, 0, 0);
}

int Win32Memo::lineCount() const {
    const auto lines = static_cast<int>(SendMessageW(hwnd_, EM_GETLINECOUNT, 0, 0));
    return lines - (endsWithEmptyLine() ? 1 : 0);
}

std::string Win32Memo::text() const { return toLatin1(windowText(hwnd_)); }

// ---- menus

Win32MenuItem::Win32MenuItem() {
    static UINT next = kFirstCommand;
    id_ = next++;
    commands()[id_] = this;
}

Win32MenuItem::~Win32MenuItem() {
    commands().erase(id_);
    // Children outlive their place here; a popup destroyed with items in it
    // would take their own popups along.
    for (Win32MenuItem* child : children_) {
        if (submenu_ != nullptr) RemoveMenu(submenu_, 0, MF_BYPOSITION);
        child->parent_ = nullptr;
    }
    children_.clear();
    if (parent_ != nullptr) parent_->removeChild(*this);
    if (submenu_ != nullptr) DestroyMenu(submenu_);
}

Win32MenuItem* Win32MenuItem::byCommand(UINT id) {
    const auto found = commands().find(id);
    return found == commands().end() ? nullptr : found->second;
}

void Win32MenuItem::setCaption(const std::string& caption) {
    caption_ = caption;
    update();
}

void Win32MenuItem::setSeparator(bool separator) {
    separator_ = separator;
    update();
}

void Win32MenuItem::setChecked(bool checked) {
    checked_ = checked;
    update();
}

void Win32MenuItem::setRadio(bool radio, int /*groupIndex*/) {
    // The portable item unchecks the rest of its group; the menu only draws the bullet.
    radio_ = radio;
    update();
}

MENUITEMINFOW Win32MenuItem::info(std::wstring& caption) const {
    caption = fromUtf8(caption_);
    MENUITEMINFOW item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.fType = separator_ ? MFT_SEPARATOR : (radio_ ? MFT_RADIOCHECK : MFT_STRING);
    item.fState = checked_ ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = id_;
    item.hSubMenu = submenu_;
    item.dwTypeData = caption.data();
    item.cch = static_cast<UINT>(caption.size());
    return item;
}

int Win32MenuItem::position() const {
    if (parent_ == nullptr) return -1;
    const auto at = std::find(parent_->children_.begin(), parent_->children_.end(), this);
    return static_cast<int>(at - parent_->children_.begin());
}

void Win32MenuItem::update() {
    if (parent_ == nullptr) return;
    HMENU menu = parent_->childMenu(false);
    if (menu == nullptr) return;
    std::wstring caption;
    MENUITEMINFOW item = info(caption);
    SetMenuItemInfoW(menu, static_cast<UINT>(position()), TRUE, &item);
    parent_->childrenChanged();
}

HMENU Win32MenuItem::childMenu(bool create) {
    if (submenu_ == nullptr && create) {
        submenu_ = CreatePopupMenu();
        update();
    }
    return submenu_;
}

void Win32MenuItem::insertChild(int index, native::MenuItem& child) {
    auto& item = dynamic_cast<Win32MenuItem&>(child);
    HMENU menu = childMenu(true);
    index = std::clamp(index, 0, static_cast<int>(children_.size()));
    children_.insert(children_.begin() + index, &item);
    item.parent_ = this;
    std::wstring caption;
    MENUITEMINFOW info = item.info(caption);
    InsertMenuItemW(menu, static_cast<UINT>(index), TRUE, &info);
    childrenChanged();
}

void Win32MenuItem::removeChild(native::MenuItem& child) {
    auto& item = dynamic_cast<Win32MenuItem&>(child);
    const int at = item.position();
    if (item.parent_ != this || at < 0) return;
    if (HMENU menu = childMenu(false)) RemoveMenu(menu, static_cast<UINT>(at), MF_BYPOSITION);
    children_.erase(children_.begin() + at);
    item.parent_ = nullptr;
    if (children_.empty() && submenu_ != nullptr && dynamic_cast<Win32MenuBar*>(this) == nullptr) {
        // An entry with no items is a plain command again, not an empty popup.
        HMENU popup = submenu_;
        submenu_ = nullptr;
        update();
        DestroyMenu(popup);
    }
    childrenChanged();
}

Win32MenuBar::Win32MenuBar(native::Window& parent) : window_(dynamic_cast<Win32Window&>(parent)), bar_(CreateMenu()) {
    SetMenu(window_.hwnd(), bar_);
    window_.menuBarChanged();
}

Win32MenuBar::~Win32MenuBar() {
    SetMenu(window_.hwnd(), nullptr);
    // The items detach themselves; what is left of the bar goes with it.
    while (GetMenuItemCount(bar_) > 0) RemoveMenu(bar_, 0, MF_BYPOSITION);
    DestroyMenu(bar_);
}

HMENU Win32MenuBar::childMenu(bool) { return bar_; }

void Win32MenuBar::childrenChanged() { window_.menuBarChanged(); }

// ---- timer

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

// ---- test access

HWND win32Window(const TForm& form) { return dynamic_cast<Win32Window&>(form.nativeWindow()).hwnd(); }

HWND win32Control(const TControl& control) { return dynamic_cast<Win32Control&>(*control.nativeControl()).hwnd(); }

UINT win32Command(const TMenuItem& item) { return dynamic_cast<Win32MenuItem&>(item.nativeItem()).commandId(); }

HMENU win32Submenu(const TMenuItem& item) { return dynamic_cast<Win32MenuItem&>(item.nativeItem()).submenu(); }

}  // namespace toolkit::win32
