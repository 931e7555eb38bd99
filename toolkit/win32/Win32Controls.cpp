// The controls a form holds: button, label, field, status bar and memo.

#include "toolkit/win32/Win32Peers.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>

#include "toolkit/win32/Win32Text.h"

namespace toolkit::win32 {

namespace {

constexpr const wchar_t* kFontFace = L"MS Sans Serif";  // wine and newer systems map it to a plain face
constexpr int kFontPoints = 8;

// Shown in the error box should the system refuse the program its windows.
constexpr const char* kErrorControl = "Cannot create a control";

HFONT formFont() {
    static HFONT font =
        CreateFontW(-MulDiv(kFontPoints, screenDpi(), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kFontFace);
    return font;
}

std::wstring windowText(HWND hwnd) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    const int length = GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(std::max(length, 0)));
    return text;
}

}  // namespace

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

void Win32Control::dockTo(native::Align align) {
    parent_.dock(*this, align);
}

Win32Button::Win32Button(native::Window& parent)
    : Win32ControlOf(parent, WC_BUTTONW, BS_PUSHBUTTON | BS_CENTER, 0, true) {}

void Win32Button::setText(const std::string& text) {
    SetWindowTextW(hwnd_, literal(text).c_str());
}

void Win32Button::command(WORD code) {
    if (code == BN_CLICKED && onClick) onClick();
}

Win32Label::Win32Label(native::Window& parent) : Win32ControlOf(parent, WC_STATICW, SS_LEFT | SS_NOPREFIX, 0, true) {}

void Win32Label::setText(const std::string& text) {
    SetWindowTextW(hwnd_, fromUtf8(text).c_str());
}

Win32Edit::Win32Edit(native::Window& parent)
    : Win32ControlOf(parent, WC_EDITW, ES_LEFT | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE, true) {}

void Win32Edit::setText(const std::string& text) {
    SetWindowTextW(hwnd_, fromUtf8(text).c_str());
}

void Win32Edit::setReadOnly(bool readOnly) {
    SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0);
}

void Win32Edit::setButtonFaceColor(bool buttonFace) {
    buttonFace_ = buttonFace;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

std::string Win32Edit::text() const {
    return toUtf8(windowText(hwnd_));
}

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
    : Win32ControlOf(
          parent, WC_EDITW,
          ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL | WS_HSCROLL,
          WS_EX_CLIENTEDGE, true) {
    // A multi-line edit stops taking text at 32 K characters unless told otherwise;
    // the debug window keeps every line of the run.
    SendMessageW(hwnd_, EM_SETLIMITTEXT, 0, 0);
}

void Win32Memo::setText(const std::string& latin1) {
    SetWindowTextW(hwnd_, fromLatin1(latin1).c_str());
}

void Win32Memo::setScrollBars(bool horizontal, bool vertical) {
    ShowScrollBar(hwnd_, SB_HORZ, horizontal);
    ShowScrollBar(hwnd_, SB_VERT, vertical);
}

void Win32Memo::setWordWrap(bool wrap) {
    // Whether an edit wraps is fixed when it is made; the debug window never
    // wraps, which is how it is made.
    (void)wrap;
}

void Win32Memo::setReadOnly(bool readOnly) {
    SendMessageW(hwnd_, EM_SETREADONLY, readOnly, 0);
}

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

std::string Win32Memo::text() const {
    return toLatin1(windowText(hwnd_));
}

// ---- test access

HWND win32Control(const TControl& control) {
    return dynamic_cast<Win32Control&>(*control.nativeControl()).hwnd();
}

}  // namespace toolkit::win32
